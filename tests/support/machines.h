// Small simulated disks and machines for the tests.
#pragma once

#include <string>
#include <utility>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"

namespace sb::test {

inline constexpr std::uint32_t kSata = 11;  // the descriptor's bus type

// A disk that answers the list's requests: its product name, length and attribute word.
// Given a partition layout it answers every request the program sends: the geometry, the
// layout, the cache flags and the failure prediction as well.
inline sim::Disk ListDisk(const std::string& product, std::int64_t length,
                          std::uint64_t attributes = 0, std::uint32_t bus_type = kSata,
                          Bytes layout = {}) {
  sim::Disk disk;
  disk.length = length;
  disk.attributes = attributes;
  disk.descriptor = sim::DescriptorBytes({.vendor = "ACME",
                                          .product = product,
                                          .revision = "1.0",
                                          .serial = "SN0001",
                                          .removable = 0,
                                          .bus_type = bus_type});
  if (!layout.empty()) {
    disk.geometry = sim::GeometryBytes(length / (255 * 63 * 512), 12, 255, 63, 512, length);
    disk.layout = std::move(layout);
    disk.cache = sim::CacheBytes(true, false);
    disk.predict_failure = sim::PredictFailureBytes(0);
  }
  return disk;
}

inline constexpr std::int64_t kMiB = 1048576;

}  // namespace sb::test
