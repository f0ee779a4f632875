#include "disk/report_queries.h"

#include <type_traits>

#include "disk/device_path.h"
#include "platform/error.h"
#include "platform/handle.h"

namespace sb {
namespace {

// MEDIA_TYPE values 1 to 11 and 13 to 22: the floppy formats and removable media (11)
// around them. Unknown (0), FixedMedia (12) and the tape and optical types from 23 on
// are not removable formats.
bool IsRemovableFormat(std::uint8_t media_type) {
  return (media_type >= 1 && media_type <= 11) || (media_type >= 13 && media_type <= 22);
}

bool IsTrailingJunk(Char c) {
  // Compared as unsigned: in the single-byte build a code-page letter above 127 is a
  // negative char and must not count as a control character.
  // The unsigned value is what is wanted.
  // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c)
  const auto code = static_cast<std::make_unsigned_t<Char>>(c);
  return code <= 32 || c == Char('.');
}

}  // namespace

bool GetDriveGeometry(Platform& platform, std::uint8_t disk, GeometryBuffer& geometry) {
  // The geometry needs no access rights; such an open succeeds even where reading the
  // disk is refused.
  const UniqueHandle device =
      OpenExisting(platform, DiskPath(DecUnsigned(disk)), 0, kShareReadWrite);
  if (!device.valid()) return false;
  return platform.DeviceIoControl(device.get(), ioctl::kDiskGetDriveGeometryEx, {}, geometry);
}

bool GetDriveParams(Platform& platform, std::uint8_t disk, TDriveParams& params) {
  GeometryBuffer geometry{};
  if (!GetDriveGeometry(platform, disk, geometry)) return false;
  const ByteReader reader(geometry);
  TDriveParams filled;
  filled.param_size = kDriveParamsSize;
  filled.info_flags = IsRemovableFormat(reader.U8(rec::kGeometryMediaType))
                          ? kDriveParamsRemovableFlags
                          : std::uint16_t{0};
  filled.cylinders = static_cast<std::uint32_t>(reader.U64(rec::kGeometryCylinders));
  filled.heads = reader.U32(rec::kGeometryTracksPerCylinder);
  filled.sectors_per_track = reader.U32(rec::kGeometrySectorsPerTrack);
  // The count is a 32-bit product: large disks wrap around modulo 2^32, and the high
  // half of the field stays 0.
  const std::uint32_t product = filled.cylinders * filled.heads * filled.sectors_per_track;
  filled.total_sectors = product;
  filled.bytes_per_sector = static_cast<std::uint16_t>(reader.U32(rec::kGeometryBytesPerSector));
  filled.disk_size = reader.I64(rec::kGeometryExDiskSize);
  filled.reserved = 0;
  params = filled;
  return true;
}

bool GetDriveLayout(Platform& platform, const Text& path, LayoutBuffer& layout) {
  UniqueHandle device = OpenExisting(platform, path, win::kGenericRead, win::kFileShareRead);
  // A refused open sends no request; its own error is the one reported.
  bool ok = false;
  if (device.valid()) {
    ok = platform.DeviceIoControl(device.get(), ioctl::kDiskGetDriveLayoutEx, {}, layout);
  }
  // Closed before the error is raised; the close keeps the request's error.
  device.reset();
  if (!ok) {
    throw Error(SB_T("IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:") +
                SystemMessageText(platform, platform.GetLastError()));
  }
  return true;
}

bool GetCacheInfo(Platform& platform, const Text& path, CacheInformation& cache) {
  const UniqueHandle device = OpenExisting(platform, path, win::kGenericRead, kShareReadWrite);
  if (!device.valid()) return false;
  return platform.DeviceIoControl(device.get(), ioctl::kDiskGetCacheInformation, {}, cache);
}

bool GetPredictFailure(Platform& platform, Handle device, PredictFailureRecord& record) {
  record.fill(0);
  platform.SetLastError(win::kErrorSuccess);
  if (device == kInvalidHandle) return false;
  return platform.DeviceIoControl(device, ioctl::kStoragePredictFailure, {}, record);
}

Text BoolText(bool value) {
  return value ? SB_T("True") : SB_T("False");
}

Text SystemMessageText(Platform& platform, std::uint32_t code) {
  Text text = platform.FormatMessage(code);
  while (!text.empty() && IsTrailingJunk(text.back())) text.pop_back();
  return text;
}

}  // namespace sb
