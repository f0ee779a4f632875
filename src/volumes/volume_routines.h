// Filling the volume table from the platform's volume enumeration.
//
// The routines report errors raised inside them themselves, in the application's message
// dialog, and never let one reach their caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "ports/dialogs.h"
#include "volumes/volume_table.h"

namespace sb {

// Buffer sizes of the volume calls, in characters.
inline constexpr std::size_t kVolumeNameBufferSize = 256;
inline constexpr std::size_t kVolumePathsLength = 260;  // the buffer holds one more
inline constexpr std::size_t kDosDeviceLength = 260;    // the buffer holds one more

// One stretch of a volume on one disk, as read from the platform's DISK_EXTENT record.
// Our own record under our own name: the SDK's DISK_EXTENT stays the SDK's.
struct DiskExtent {
  std::uint32_t disk_number = 0;
  std::int64_t starting_offset = 0;
  std::int64_t extent_length = 0;
};

// Rewrites table from entry 0 with one entry per volume whose device is neither a CD-ROM
// nor a floppy, in enumeration order, and returns how many entries it wrote (at most the
// table's 16). Entries behind those keep what they held. An enumeration that cannot start
// is shown as "list_volumes:invalid handle" and gives 0.
std::size_t list_volumes(Platform& platform, Dialogs& dialogs, VolumeTable& table);

// The first device name (\Device\HarddiskVolumeN) of a volume named as the enumeration
// names it (\\?\Volume{GUID}\), in Windows' ANSI code page; empty when the query fails.
std::string VolumeNameToDeviceName(Platform& platform, Dialogs& dialogs,
                                   const std::string& volume_name);

// The first disk extent of a volume named as the enumeration names it; all zero when it
// could not be read. read, when given, tells whether it was read.
// A fixed name of the program (see the README's glossary), though the language reserves it.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
DiskExtent _GetVolumeExtent(Platform& platform, Dialogs& dialogs, const std::string& volume_name,
                            bool* read = nullptr);

// The single-byte form of a text in Windows' ANSI code page, as the volume calls take it.
inline std::string TextToAnsi([[maybe_unused]] Platform& platform, const Text& text) {
#ifdef SPINDLEBAY_NARROW
  return text;
#else
  return platform.WideToAnsi(text);
#endif
}

}  // namespace sb
