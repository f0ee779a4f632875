// The program-wide table of volumes with the disk each lies on.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sb {

// One entry of the table. Strings are single-byte, in Windows' ANSI code page, in both
// programs.
struct volumes {
  std::string volume_name;       // \\?\Volume{GUID}\ as enumerated
  std::string device_name;       // \Device\HarddiskVolumeN; empty when the query failed
  std::uint8_t disk_number = 0;  // low 8 bits of the first extent's disk; 0 when not read
  std::string mount_path;        // first mount path; empty when the volume has none
  // Whether disk_number really names the volume's disk: the extent was read and its disk
  // number is below 256. Commands act only on volumes whose disk is known.
  bool disk_known = false;
};

inline constexpr std::size_t kVolumeTableSize = 16;
using VolumeTable = std::array<volumes, kVolumeTableSize>;

// The program's table; the commands of the main window use it.
// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
extern VolumeTable VolumeList;

}  // namespace sb
