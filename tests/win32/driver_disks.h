// Tests over the test disk driver: each disk is given to the driver and, the same, to a
// simulated machine, so that the real platform and the simulated one can be compared.
// The driver must be running in the prefix (bash scripts/disks start).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"
#include "platform/win32/win32_platform.h"
#include "support/machines.h"
#include "tools/testdisk/control_client.h"
#include "tools/testdisk/log_entry.h"

namespace sb::test {

class DriverDisks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(control_.is_open())
        << "the test disk driver is not running in this prefix: bash scripts/disks start";
    ASSERT_TRUE(control_.Reset());
  }
  void TearDown() override {
    if (control_.is_open()) control_.Reset();
  }

  // Gives the disk to the driver and to the simulated machine.
  void AddDisk(std::uint32_t number, const sim::Disk& disk);
  // The requests the driver's disks received since the last call, and the simulated
  // machine's disk requests since then, both as "disk N code in HEX out N" lines, so that
  // the two can be compared.
  std::vector<std::string> DriverRequests();
  std::vector<std::string> SimulatedRequests();
  std::vector<testdisk::LogEntry> LogSinceMark();

  Win32Platform real_;
  sim::SimMachine simulated_;
  testdisk::ControlClient control_;

 private:
  std::uint32_t log_mark_ = 0;
  std::size_t calls_mark_ = 0;
};

}  // namespace sb::test
