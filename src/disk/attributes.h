// The disk-level attribute word (offline, read-only), its texts, and the disk length.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The bits of the attribute word keep the program's names. A full SDK defines them as
// macros in winioctl.h, and where the platform's headers have them they are taken as they
// are (Win32 code reads winioctl.h before any header of the program). Elsewhere, natively
// and with headers that lack them, the same macros are defined here with the SDK's own
// spelling and value, so that the two are one name and never clash: a macro defined again
// with the same tokens is no conflict. tests/win32/sdk_names_test.cpp holds them together.
#ifndef DISK_ATTRIBUTE_OFFLINE
#define DISK_ATTRIBUTE_OFFLINE 0x0000000000000001
#endif
#ifndef DISK_ATTRIBUTE_READ_ONLY
#define DISK_ATTRIBUTE_READ_ONLY 0x0000000000000002
#endif

namespace sb {

// The GET_DISK_ATTRIBUTES record as the request fills it.
struct TGetDiskAttributes {
  std::uint32_t Version = 0;
  std::uint32_t Reserved1 = 0;
  std::uint64_t Attributes = 0;
};

// Reads the attribute word of the disk at path (GENERIC_READ, read+write sharing).
// On false the record is left as it was.
bool GetDiskAttributes(Platform& platform, const Text& path, TGetDiskAttributes& record);

// The text the disk list shows for an attribute word: "Online Read-Write " and its
// siblings, or empty when only unnamed bits are set.
Text AttributeText(std::uint64_t word);

// The attribute text of "\\.\PhysicalDrive" + number; empty when the query fails.
Text DiskAttributesText(Platform& platform, const Text& number);

// The length in bytes of the disk behind an open handle; 0 when the request fails.
std::int64_t GetDiskLength(Platform& platform, Handle device);

// Lengths are shown in megabytes: a signed division that drops the remainder.
inline constexpr std::int64_t kBytesPerMegabyte = 1048576;

}  // namespace sb
