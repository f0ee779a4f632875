// Requests at the edges of Windows' disk-driver rules (platform/sim/disk_answer_rules.h), with
// what each must get. The simulated machine is held to them natively, and the test disk
// driver beside it under Wine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bytes.h"
#include "platform/sim/disk_answer_rules.h"
#include "platform/platform.h"
#include "platform/records.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"

namespace sb::test {

enum class RuleDisk {
  kAnswering,     // answers every request
  kWithoutMedia,  // a removable drive without media (an empty card-reader slot)
  kBareBridge,    // a USB bridge: no failure prediction, no caching page
  kNoDescriptor,  // answers every request but the device property
};

inline sim::Disk RuleDiskOf(RuleDisk kind) {
  sim::Disk disk;
  disk.length = 1LL << 30;
  disk.descriptor =
      sim::DescriptorBytes({.vendor = "RULES", .product = "Edge", .removable = 1, .bus_type = 7});
  if (kind != RuleDisk::kWithoutMedia) {
    disk.geometry = sim::GeometryBytes(130, 11, 255, 63, 512, disk.length);
    disk.layout = sim::MbrLayoutBytes(4, 0x5EED);
  }
  if (kind == RuleDisk::kAnswering) {
    disk.cache = sim::CacheBytes(true, false);
    disk.predict_failure = sim::PredictFailureBytes(0);
  }
  if (kind == RuleDisk::kNoDescriptor) disk.descriptor.reset();
  disk.has_media = kind != RuleDisk::kWithoutMedia;
  return disk;
}

struct RuleCase {
  const char* what;
  RuleDisk disk;
  std::uint32_t code;
  std::size_t input;              // bytes of input: a property query, zeroed but for the two below
  std::size_t output;             // bytes of the output buffer
  std::uint32_t error;            // 0: the request succeeds
  std::uint32_t property_id = 0;  // StorageDeviceProperty
  std::uint32_t query_type = 0;   // PropertyStandardQuery
};

inline Bytes RuleInput(const RuleCase& c) {
  Bytes input(c.input, 0);
  if (input.size() >= rec::kStoragePropertyQuerySize) {
    ByteWriter writer(input);
    writer.U32(rec::kPropertyQueryPropertyId, c.property_id);
    writer.U32(rec::kPropertyQueryQueryType, c.query_type);
  }
  return input;
}

inline constexpr std::uint32_t kPropertyCode = ioctl::kStorageQueryProperty;

inline constexpr RuleCase kRuleCases[] = {
    {"a geometry buffer without DiskSize", RuleDisk::kAnswering, ioctl::kDiskGetDriveGeometryEx, 0,
     31, win::kErrorInsufficientBuffer},
    {"a geometry buffer to DiskSize", RuleDisk::kAnswering, ioctl::kDiskGetDriveGeometryEx, 0, 32,
     0},
    {"a property query of 11 bytes", RuleDisk::kAnswering, kPropertyCode, 11, 4096, 24},
    {"a descriptor buffer of 7 bytes", RuleDisk::kAnswering, kPropertyCode, 12, 7,
     win::kErrorInsufficientBuffer},
    {"the descriptor header alone", RuleDisk::kAnswering, kPropertyCode, 12, 8, 0},
    {"the descriptor of a device without one", RuleDisk::kNoDescriptor, kPropertyCode, 12, 4096,
     win::kErrorNotSupported},
    {"the existence query of the descriptor", RuleDisk::kAnswering, kPropertyCode, 12, 0, 0, 0, 1},
    {"the existence query of a device without one", RuleDisk::kNoDescriptor, kPropertyCode, 12, 0,
     win::kErrorNotSupported, 0, 1},
    {"the adapter property", RuleDisk::kAnswering, kPropertyCode, 12, 4096, win::kErrorNotSupported,
     1, 0},
    {"a mask query of the descriptor", RuleDisk::kAnswering, kPropertyCode, 12, 4096,
     win::kErrorInvalidParameter, 0, 2},
    {"failure prediction of a device without it", RuleDisk::kBareBridge,
     ioctl::kStoragePredictFailure, 0, 516, win::kErrorInvalidFunction},
    {"failure prediction into 515 bytes", RuleDisk::kBareBridge, ioctl::kStoragePredictFailure, 0,
     515, win::kErrorInsufficientBuffer},
    {"the cache of a device without a caching page", RuleDisk::kBareBridge,
     ioctl::kDiskGetCacheInformation, 0, 24, win::kErrorNotSupported},
    {"the length without media", RuleDisk::kWithoutMedia, ioctl::kDiskGetLengthInfo, 0, 8,
     win::kErrorNotReady},
    {"the length without media into 7 bytes", RuleDisk::kWithoutMedia, ioctl::kDiskGetLengthInfo, 0,
     7, win::kErrorInsufficientBuffer},
    {"the geometry without media", RuleDisk::kWithoutMedia, ioctl::kDiskGetDriveGeometryEx, 0, 40,
     win::kErrorNotReady},
    {"the layout without media", RuleDisk::kWithoutMedia, ioctl::kDiskGetDriveLayoutEx, 0,
     rec::kLayoutBufferSize, win::kErrorNotReady},
    {"the layout without media into 4 bytes", RuleDisk::kWithoutMedia, ioctl::kDiskGetDriveLayoutEx,
     0, 4, win::kErrorNotReady},
    {"the descriptor without media", RuleDisk::kWithoutMedia, kPropertyCode, 12, 4096, 0},
    {"the attributes without media", RuleDisk::kWithoutMedia, ioctl::kDiskGetDiskAttributes, 0, 16,
     0},
    {"the cache without media", RuleDisk::kWithoutMedia, ioctl::kDiskGetCacheInformation, 0, 24,
     win::kErrorNotSupported},
    // IOCTL_DISK_GET_DRIVE_GEOMETRY, which the program never sends: no record answers it.
    {"a control code without a rule", RuleDisk::kAnswering, 0x00070000, 0, 4096,
     win::kErrorInvalidFunction},
};

}  // namespace sb::test
