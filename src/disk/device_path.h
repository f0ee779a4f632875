// Device paths of physical disks.
#pragma once

#include "platform/text.h"

namespace sb {

// "\\.\PhysicalDrive": followed by the disk number in decimal it names a disk device.
inline constexpr const Char* kPhysicalDrivePrefix = SB_T("\\\\.\\PhysicalDrive");

// "\\.\PhysicalDrive" followed by the given text, unchanged.
inline Text DiskPath(TextView number) {
  return Text(kPhysicalDrivePrefix) + Text(number);
}

}  // namespace sb
