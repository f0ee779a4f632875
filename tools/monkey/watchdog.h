// What keeps a monkey run from hanging: the watchdog ends what input left open, and the
// stall watch fails a run whose windows' thread no longer moves.
#pragma once

#include "platform/win32/win32_api.h"

#include <atomic>
#include <thread>

#include "tools/monkey/trail.h"
#include "ui/win32/ui_handles.h"

namespace sb::monkey {

// Ends a menu, a keyboard move or size, or a box that input left open, so that a lost key
// cannot hang the run. Its timer is seen only by a message loop with nothing else to do, and
// it acts only on what is open then: from the monkey's own loop, or from a command's, it
// does nothing, so it cannot change what the events do.
class Watchdog {
 public:
  explicit Watchdog(Trail& trail);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  // Windows tells a window when its move or size loop starts and ends (a move chosen from
  // the system menu by keys waits for keys that will not come).
  static LRESULT CALLBACK OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept;
  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD);
  static void Note(const char* what);

  static inline Trail* trail_ = nullptr;
  static inline int size_move_loops_ = 0;
  UINT_PTR timer_;
  UniqueHook hook_;
};

// Fails the run when the windows' thread makes no progress for two minutes: it is stuck in a
// loop that the watchdog cannot end. Prints what the thread is in and the trail, from a
// thread of its own, and ends the process.
class StallWatch {
 public:
  StallWatch(Trail& trail, const std::atomic<int>& progress);
  ~StallWatch();
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;

 private:
  void Watch();

  static constexpr int kStallSeconds = 120;
  Trail& trail_;
  const std::atomic<int>& progress_;
  DWORD thread_id_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace sb::monkey
