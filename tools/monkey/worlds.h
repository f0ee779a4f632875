// What the monkey runs the program over: the demo's simulated machine, or the real platform
// over the test disk driver's disks, and what the list must show for each.
#pragma once

#include "platform/win32/win32_api.h"

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "tools/demo/demo_machine.h"
#include "tools/demo/notice_delivery.h"
#include "tools/soak/counting_platform.h"
#include "tools/testdisk/control_client.h"
#include "ui/win32/tfrm_main.h"

namespace sb::monkey {

// Disk names by caption, as the list showed them at the start.
using DiskNames = std::map<std::string, std::string>;

class World {
 public:
  virtual ~World() = default;
  virtual Platform& platform() = 0;
  // Every disk that opens, in number order, with its name (which never changes), size and
  // state, read without the program's own routines.
  virtual std::vector<std::string> ExpectedRows(const DiskNames& names) = 0;
  // Descriptions of what the program left open or closed twice.
  virtual std::vector<std::string> Leaks() = 0;
  // What the disks went through, for the batch's line.
  virtual std::string Summary() { return ""; }
  // The main window that the world's own notices go to, if it raises any, or nullptr.
  virtual void Attach(const TfrmMain* /*main_window*/) {}
};

// The demo's simulated machine; its volume notices reach the window through the queue.
class DemoWorld final : public World {
 public:
  DemoWorld();
  Platform& platform() override { return machine_; }
  void Attach(const TfrmMain* main_window) override { notices_.set_target(main_window); }
  std::vector<std::string> ExpectedRows(const DiskNames& names) override;
  std::vector<std::string> Leaks() override;

 private:
  demo::NoticePostingMachine machine_;
  demo::NoticeWindow notices_;
};

// The real platform over the test disk driver's disks: the demo machine's disks 1 to 15
// (disk 0 is Wine's own).
class DriverWorld final : public World {
 public:
  // Gives the driver the demo's disks; false when the driver does not run here.
  bool Load();
  Platform& platform() override { return platform_; }
  std::vector<std::string> ExpectedRows(const DiskNames& names) override;
  std::string Summary() override;
  std::vector<std::string> Leaks() override;

 private:
  testdisk::ControlClient control_;
  Win32Platform real_;
  CountingPlatform platform_{real_};
};

}  // namespace sb::monkey
