// Plays a scenario's actions on the real main window, one at a time whenever the window's
// thread has nothing else left to do, and prints what the user saw after each one.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/sim/sim_machine.h"
#include "tools/testdisk/control_client.h"
#include "tools/window_runner/window_observer.h"

namespace sb::window_runner {

class ActionPlayer {
 public:
  // scenario: as this Wine shows it; its volumes are those the volume broadcasts name.
  // driver: read for the requests its disks received after each action, or nullptr.
  // main_window: the program's main window, from before its start; it outlives the player.
  // Throws scenario::InputError for actions it cannot play; the first must be "start".
  ActionPlayer(const nlohmann::json& scenario, testdisk::ControlClient* driver,
               const TfrmMain& main_window);
  ActionPlayer(const ActionPlayer&) = delete;
  ActionPlayer& operator=(const ActionPlayer&) = delete;
  ~ActionPlayer() { Stop(); }

  // The program's start is the first action. The player is made before the start, so that
  // what the start shows is recorded; Start() is called once the start is done, and sets
  // the player going: the rest run once the program's message loop runs. The player closes
  // the main window after the last action, which ends the program's loop.
  void Start();
  void Stop();
  // A command paused (the platform's Sleep).
  void OnPause() { observer_.MarkPause(); }
  // Why the actions stopped early; empty when all ran.
  const std::string& error() const { return error_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept;
  void Tick();
  void Perform(HWND main, const nlohmann::json& action);
  void PrintOutcome(HWND main);
  void PrintRequests();
  void Broadcast(HWND main);

  static inline ActionPlayer* instance_ = nullptr;
  const TfrmMain& main_window_;
  nlohmann::json actions_;
  sim::SimMachine volumes_;  // keeps the volumes the broadcasts name
  testdisk::ControlClient* driver_;
  std::uint32_t next_request_ = 0;
  WindowObserver observer_;
  UINT_PTR timer_ = 0;
  std::size_t next_ = 1;
  bool busy_ = false;
  std::string error_;
};

}  // namespace sb::window_runner
