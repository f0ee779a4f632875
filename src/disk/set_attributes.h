// The one operation that writes a disk's state: its offline and read-only bits.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace sb {

// Sends IOCTL_DISK_SET_DISK_ATTRIBUTES to the disk at path: the bits set in mask take their
// values from attributes. The change is not persistent. True when the request succeeded;
// on false nothing is shown and the last error is the one the failing call left.
bool SetDiskAttributes(Platform& platform, const Text& path, std::uint64_t attributes,
                       std::uint64_t mask);

}  // namespace sb
