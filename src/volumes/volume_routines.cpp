#include "volumes/volume_routines.h"

#include <array>
#include <exception>
#include <span>

#include "platform/error.h"
#include "platform/handle.h"
#include "platform/records.h"

namespace sb {
namespace {

// Volumes of removable-media drives are left out of the table: their letters belong to
// the drive, not to a disk the commands change.
bool IsCdromOrFloppy(const std::string& device_name) {
  std::string lower = device_name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower.find("cdrom") != std::string::npos || lower.find("floppy") != std::string::npos;
}

// A disk number that does not fit the table's byte would alias another disk.
constexpr std::uint32_t kDiskNumberLimit = 256;

}  // namespace

std::size_t list_volumes(Platform& platform, Dialogs& dialogs, VolumeTable& table) {
  std::size_t written = 0;
  try {
    std::array<char, kVolumeNameBufferSize> name{};
    UniqueFindVolume find(platform, platform.FindFirstVolumeA(name));
    if (!find.valid()) throw Error(SB_T("invalid handle"));
    do {
      const std::string volume_name = UpToFirstZero<char>(name);
      std::string device_name = VolumeNameToDeviceName(platform, dialogs, volume_name);
      if (IsCdromOrFloppy(device_name)) continue;

      // Zero-filled, and read only when the query succeeded: a volume whose paths could
      // not be listed (more than the buffer holds, say) gets an empty mount path, so the
      // commands never remove a mount point that was cut short.
      std::array<char, kVolumePathsLength + 1> paths{};
      const bool have_paths = platform.GetVolumePathNamesForVolumeNameA(
          volume_name, std::span<char>(paths).first(kVolumePathsLength));

      bool extent_read = false;
      const DiskExtent extent = _GetVolumeExtent(platform, dialogs, volume_name, &extent_read);

      volumes entry;
      entry.volume_name = volume_name;
      entry.device_name = std::move(device_name);
      entry.disk_number = static_cast<std::uint8_t>(extent.disk_number & 0xFF);
      // Only the first path of the list: the one the commands remove after Offline.
      if (have_paths) entry.mount_path = UpToFirstZero<char>(paths);
      entry.disk_known = extent_read && extent.disk_number < kDiskNumberLimit;
      // Moved in whole, so that an error cannot leave an entry half old, half new.
      table[written] = std::move(entry);
      ++written;
      // The table is full: the volumes after these have no entry to go to, so the
      // enumeration ends here.
      if (written == table.size()) break;
    } while (platform.FindNextVolumeA(find.get(), name));
  } catch (const std::exception& error) {
    dialogs.ShowMessage(SB_T("list_volumes:") + MessageOf(error));
  }
  return written;
}

std::string VolumeNameToDeviceName(Platform& platform, Dialogs& dialogs,
                                   const std::string& volume_name) {
  std::string device_name;
  try {
    // \\?\Volume{GUID}\ without the \\?\ prefix and the trailing backslash is the name
    // the DOS-device query knows. A name too short to hold more than those names no
    // volume; it is not asked about, since an empty name would ask about every device.
    constexpr std::size_t kPrefixLength = 4;
    if (volume_name.size() <= kPrefixLength + 1) return device_name;
    const std::string cut =
        volume_name.substr(kPrefixLength, volume_name.size() - kPrefixLength - 1);

    std::array<wchar_t, kDosDeviceLength + 1> target{};
    if (platform.QueryDosDeviceW(platform.AnsiToWide(cut),
                                 std::span<wchar_t>(target).first(kDosDeviceLength)) != 0) {
      // The answer is a list; its first name is the volume's device.
      device_name = platform.WideToAnsi(UpToFirstZero<wchar_t>(target));
    }
  } catch (const std::exception& error) {
    dialogs.ShowMessage(SB_T("VolumeNameToDeviceName:") + MessageOf(error));
    device_name.clear();
  }
  return device_name;
}

DiskExtent _GetVolumeExtent(Platform& platform, Dialogs& dialogs, const std::string& volume_name,
                            bool* read) {
  DiskExtent extent;
  bool extent_read = false;
  try {
    // With its trailing backslash the name opens the volume's root folder, which does not
    // answer the request; without it, the volume device.
    std::string device = volume_name;
    if (!device.empty() && device.back() == '\\') device.pop_back();
    const UniqueHandle volume =
        OpenExisting(platform, AnsiToText(platform, device), win::kGenericRead | win::kGenericWrite,
                     kShareReadWrite);
    if (volume.valid()) {
      // Room for ten extents; a volume of more makes the request fail.
      std::array<std::uint8_t, rec::kVolumeExtentsBufferSize> buffer{};
      if (platform.DeviceIoControl(volume.get(), ioctl::kVolumeGetVolumeDiskExtents, {}, buffer)) {
        const ByteReader reader(buffer);
        if (reader.U32(rec::kVolumeExtentsCount) > 0) {
          constexpr std::size_t first = rec::kVolumeExtentsFirst;
          extent.disk_number = reader.U32(first + rec::kDiskExtentDiskNumber);
          extent.starting_offset = reader.I64(first + rec::kDiskExtentStartingOffset);
          extent.extent_length = reader.I64(first + rec::kDiskExtentLength);
          extent_read = true;
        }
      }
    }
  } catch (const std::exception& error) {
    dialogs.ShowMessage(SB_T("_GetVolumeExtent:") + MessageOf(error));
    extent = DiskExtent{};
    extent_read = false;
  }
  if (read != nullptr) *read = extent_read;
  return extent;
}

}  // namespace sb
