// The monkey: seeded random user events on the real windows of the program, with device
// changes from another process in between.
//
//   sb_monkey EVENTS [SEED]           over the demo's simulated machine
//   sb_monkey EVENTS SEED --disks     over the real platform, the demo's disks 1 to 15 given
//                                     to the test disk driver (bash scripts/disks start), so
//                                     that the commands really change disks
//
// Events: clicks anywhere in the main window and the Properties windows, double clicks,
// right clicks, keys (Tab, Shift+Tab, arrows, Home, End, Space, Enter, Esc, Shift+F10, the
// menu key) with the context menu's items chosen by key, resizing, minimizing and restoring,
// Properties windows closed, and bursts of WM_DEVICECHANGE sent and posted by
// message_poster. Every message box is answered at random as it appears. Input goes
// through SendInput, so it takes Windows' own path (focus, capture, hit testing).
//
// After every batch of events: the main window is there and answers, the windows of the
// program and the platform handles are as many as before, and after a refresh the list
// shows exactly the disks of the machine, in their current state.
//
// The same seed gives the same events. Exit status 0 when every batch held.
//
// Its parts: the worlds (worlds.h), the watchdog (watchdog.h), the input (input.h), the
// event mix (kEventKinds in monkey.h) and the trail (trail.h).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tools/monkey/monkey.h"
#include "tools/monkey/worlds.h"

int main(int argc, char** argv) {
  const int events = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 1;
  const bool disks = argc > 3 && std::string(argv[3]) == "--disks";
  std::printf("monkey: %d events, seed %llu, over %s\n", events,
              static_cast<unsigned long long>(seed),
              disks ? "the test disk driver's disks" : "the demo machine");
  std::unique_ptr<sb::monkey::World> world;
  if (disks) {
    auto driver = std::make_unique<sb::monkey::DriverWorld>();
    if (!driver->Load()) {
      std::printf("FAIL: the test disk driver does not run here: bash scripts/disks start\n");
      return 1;
    }
    world = std::move(driver);
  } else {
    world = std::make_unique<sb::monkey::DemoWorld>();
  }
  sb::monkey::Monkey monkey(*world, seed);
  if (!monkey.Start()) {
    std::printf("FAIL: the program could not start\n");
    return 1;
  }
  return monkey.Run(events) ? 0 : 1;
}
