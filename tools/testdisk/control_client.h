// The user-mode side of the driver's control device (Windows only): replaces the disks,
// reads the request log and the driver's counters.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bytes.h"
#include "tools/testdisk/log_entry.h"

namespace sb::testdisk {

struct DriverStats {
  std::uint32_t disks = 0;
  std::uint32_t allocations = 0;
  std::uint32_t log_entries = 0;
};

class ControlClient {
 public:
  // Opens \\.\SpindlebayTestDisks; check is_open() (the driver may not be running).
  ControlClient();
  ControlClient(const ControlClient&) = delete;
  ControlClient& operator=(const ControlClient&) = delete;
  ~ControlClient();

  bool is_open() const;
  // The Windows error of the last call that failed.
  std::uint32_t error() const { return error_; }

  bool Reset();
  bool AddDisk(ConstBytes description);
  bool RemoveDisk(std::uint32_t number);
  // Every entry still kept from sequence first on.
  bool ReadLog(std::vector<LogEntry>& entries, std::uint32_t first = 0);
  bool ReadStats(DriverStats& stats);

 private:
  bool Request(std::uint32_t code, ConstBytes input, MutableBytes output);

  void* handle_;
  std::uint32_t error_ = 0;
};

}  // namespace sb::testdisk
