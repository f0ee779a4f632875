// Making and removing the driver's disks: a device \Device\SpindlebayTestDiskN with the link
// \??\PhysicalDriveN for each, and its slot in the driver's state.
#pragma once

#include "tools/testdisk/driver/driver_state.h"

namespace sb::testdisk::kernel {

// Each takes the configuration mutex itself; call at PASSIVE_LEVEL.
NTSTATUS AddDisk(DriverState& state, ByteView description);
NTSTATUS RemoveDisk(DriverState& state, std::uint32_t number);
void RemoveAllDisks(DriverState& state);

}  // namespace sb::testdisk::kernel
