// Everything the driver holds, in one place: it lives in the control device's extension, so
// the driver has no global variables.
#pragma once

#include "tools/testdisk/driver/kernel.h"
#include "tools/testdisk/driver/pool.h"
#include "tools/testdisk/driver/request_log.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk::kernel {

// One disk: its description as the loader sent it (validated) and its attribute word, which
// attribute changes update.
struct DiskSlot {
  PoolBlock description;
  std::uint64_t attributes = 0;
  std::uint32_t flags = 0;
  PDEVICE_OBJECT device = nullptr;
  // Tells a request on a removed disk's device from one on a disk added later under the same
  // number.
  std::uint32_t generation = 0;
};

struct DriverState {
  PDRIVER_OBJECT driver = nullptr;
  PDEVICE_OBJECT control = nullptr;
  // Serializes adding and removing disks; held at PASSIVE_LEVEL, where devices and links are
  // made and deleted.
  KMUTEX configuration;
  // Guards the slots' contents and the log against the requests of other threads.
  KSPIN_LOCK lock;
  DiskSlot disks[kLastDisk + 1];
  std::uint32_t generations = 0;
  RequestLog log;
  volatile LONG allocations = 0;
};

enum class DeviceKind : std::uint32_t { kControl = 0x4c544e43, kDisk = 0x4b534944 };

// The extension of every device the driver makes.
struct DeviceExtension {
  DeviceKind kind;
  DriverState* state;  // for disks: the control device's state
  std::uint32_t number;
  std::uint32_t generation;
};

// The control device's extension: the common part, then the driver's state.
struct ControlExtension {
  DeviceExtension device;
  DriverState state;
};

}  // namespace sb::testdisk::kernel
