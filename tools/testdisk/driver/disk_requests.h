// The answers of one disk to the control requests the program sends, given as a Windows disk
// driver gives them.
#pragma once

#include "tools/testdisk/driver/driver_state.h"
#include "tools/testdisk/driver/kernel.h"

namespace sb::testdisk::kernel {

struct DiskRequest {
  std::uint32_t code;
  ByteView input;   // with buffered transfers input and output share one system buffer:
  ByteSink output;  // the input is read whole before the first output byte is written
};

struct DiskResult {
  NTSTATUS status;
  std::uint32_t returned;  // IoStatus.Information
};

// Answers request from disk's description and attribute word; an attribute change updates
// the word. The caller holds the driver's lock.
DiskResult AnswerDiskRequest(DiskSlot& disk, const DiskRequest& request);

}  // namespace sb::testdisk::kernel
