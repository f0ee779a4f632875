// The monkey: seeded random user events on the real windows of the program, with device
// changes from another process in between (monkey_main.cpp).
#pragma once

#include "platform/win32/win32_api.h"

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tools/boxes/box_answerer.h"
#include "tools/monkey/random.h"
#include "tools/monkey/trail.h"
#include "tools/monkey/worlds.h"
#include "ui/win32/app.h"
#include "volumes/volume_table.h"

namespace sb::monkey {

class Monkey {
 public:
  Monkey(World& world, std::uint64_t seed);
  ~Monkey();
  Monkey(const Monkey&) = delete;
  Monkey& operator=(const Monkey&) = delete;

  // Starts the program's windows; false when they do not come up.
  bool Start();
  // Runs the events in batches; false at the first batch that does not hold.
  bool Run(int events);

 private:
  // One kind of event: its share of every 100 events, and what it does.
  struct EventKind {
    int weight;
    void (Monkey::*run)();
  };

  // The events, one method a kind.
  void ClickInMain();        // a click anywhere in the main window
  void ClickAButton();       // one of the four buttons
  void DoubleClickList();    // mostly on a row, sometimes on the list's empty part
  void RightClickAndMenu();  // a right click, and an item of the menu
  void PressAKey();          // a key, and the menu's items when it opens one
  void ClickInProperties();  // a click in a Properties window, its frame and close box too
  void CloseProperties();    // a Properties window closed
  void ResizeMain();         // the main window resized
  void MinimizeMain();       // minimized (restored by a later event)
  void PostDeviceChanges();  // device changes from another process

  void Event();
  void NameWindows();
  int AnswerBox(const ShownBox& box);
  std::string Where(POINT point);
  void Note(const std::string& what);
  void Pump();
  std::vector<HWND> PropertiesWindows() const;
  POINT RandomPointIn(const RECT& rect);
  POINT RandomPointInMain();
  void Restore();
  void MenuKeys();
  std::vector<std::string> Rows() const;
  bool Check(int done, const BoxAnswerer& answerer);

  // The event mix. The seeds of earlier campaigns give the same events as long as the
  // weights, their order and their sum stay.
  static constexpr EventKind kEventKinds[] = {
      {20, &Monkey::ClickInMain},       // drawn 0 to 19
      {10, &Monkey::ClickAButton},      // 20 to 29
      {8, &Monkey::DoubleClickList},    // 30 to 37
      {7, &Monkey::RightClickAndMenu},  // 38 to 44
      {30, &Monkey::PressAKey},         // 45 to 74
      {7, &Monkey::ClickInProperties},  // 75 to 81
      {5, &Monkey::CloseProperties},    // 82 to 86
      {5, &Monkey::ResizeMain},         // 87 to 91
      {3, &Monkey::MinimizeMain},       // 92 to 94
      {5, &Monkey::PostDeviceChanges},  // 95 to 99
  };
  // While the main window is minimized, this many of every 100 events restore it instead.
  static constexpr int kRestoresWhileMinimized = 80;

  World& world_;
  std::uint64_t seed_;
  Random random_;
  VolumeTable table_;
  Application application_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND hidden_properties_ = nullptr;
  DiskNames names_;
  std::set<HWND> start_windows_;
  int foreign_bursts_ = 0;
  int properties_opened_ = 0;
  int event_ = 0;
  std::atomic<int> progress_ = 0;
  int boxes_in_event_ = 0;
  Trail* trail_ = nullptr;
  bool quit_ = false;
  bool failed_ = false;
};

}  // namespace sb::monkey
