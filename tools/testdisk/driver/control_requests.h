// The requests of the private control device: reset, add and remove disks, read the log and
// the counters.
#pragma once

#include "tools/testdisk/driver/driver_state.h"
#include "tools/testdisk/driver/disk_requests.h"

namespace sb::testdisk::kernel {

// Called at PASSIVE_LEVEL with the request's buffers.
DiskResult AnswerControlRequest(DriverState& state, const DiskRequest& request);

}  // namespace sb::testdisk::kernel
