// Filling the disk list.
#pragma once

#include "platform/platform.h"
#include "ui/view.h"

namespace sb {

inline constexpr int kDiskProbeCount = 16;
// Background of every row of the disk list: light grey, 229 in red, green and blue.
inline constexpr std::uint32_t kDiskRowBackground = 0xE5E5E5;

// Clears the list and adds one row per disk 0 to 15 that can be opened: number, "DISK",
// product name, size in megabytes and attribute text. Errors are raised to the caller.
// A fixed name of the program (see the README's glossary), though the language reserves it.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
void _Enum_Drives_lv(Platform& platform, DiskListView& list);

}  // namespace sb
