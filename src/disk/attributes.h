// The disk-level attribute word (offline, read-only), its texts, and the disk length.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace sb {

inline constexpr std::uint64_t DISK_ATTRIBUTE_OFFLINE = 1;
inline constexpr std::uint64_t DISK_ATTRIBUTE_READ_ONLY = 2;

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
