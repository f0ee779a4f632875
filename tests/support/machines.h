// Small simulated disks and machines for the tests.
#pragma once

#include <string>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"

namespace sb::test {

// A disk that answers the list's requests: its product name, length and attribute word.
inline sim::Disk ListDisk(const std::string& product, std::int64_t length,
                          std::uint64_t attributes = 0, std::uint32_t bus_type = 11) {
  sim::Disk disk;
  disk.length = length;
  disk.attributes = attributes;
  disk.descriptor = sim::DescriptorBytes({.vendor = "ACME",
                                          .product = product,
                                          .revision = "1.0",
                                          .serial = "SN0001",
                                          .removable = 0,
                                          .bus_type = bus_type});
  return disk;
}

inline constexpr std::int64_t kMiB = 1048576;

}  // namespace sb::test
