// The version of the machine format (FORMAT.md), which the capture tool records in every
// description it writes and the loader compares with its own.
#pragma once

namespace sb::scenario {

// 1: the disks, volumes, reserved letters and message texts of FORMAT.md, with "format" and
// "captured_by".
inline constexpr int kMachineFormat = 1;

}  // namespace sb::scenario
