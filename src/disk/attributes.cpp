#include "disk/attributes.h"

#include <array>

#include "disk/device_path.h"
#include "platform/handle.h"
#include "platform/records.h"

namespace sb {

bool GetDiskAttributes(Platform& platform, const Text& path, TGetDiskAttributes& record) {
  const UniqueHandle device = OpenExisting(platform, path, win::kGenericRead, kShareReadWrite);
  // A refused open is not reported on its own; no request can succeed without a handle.
  if (!device.valid()) return false;
  std::array<std::uint8_t, rec::kGetDiskAttributesSize> buffer{};
  if (!platform.DeviceIoControl(device.get(), ioctl::kDiskGetDiskAttributes, {}, buffer)) {
    return false;
  }
  const ByteReader reader(buffer);
  record.Version = reader.U32(rec::kGetDiskAttributesVersion);
  record.Reserved1 = reader.U32(rec::kGetDiskAttributesVersion + 4);
  record.Attributes = reader.U64(rec::kGetDiskAttributesAttributes);
  return true;
}

Text AttributeText(std::uint64_t word) {
  // Each test that holds replaces the text chosen so far; the last one wins.
  Text text;
  if (word == 0) text = SB_T("Online Read-Write ");
  if (word & DISK_ATTRIBUTE_OFFLINE) text = SB_T("Offline Read-Write ");
  if (word & DISK_ATTRIBUTE_READ_ONLY) text = SB_T("Online Read-Only ");
  if ((word & DISK_ATTRIBUTE_OFFLINE) && (word & DISK_ATTRIBUTE_READ_ONLY)) {
    text = SB_T("Offline Read-Only ");
  }
  return text;
}

Text DiskAttributesText(Platform& platform, const Text& number) {
  TGetDiskAttributes record;
  if (!GetDiskAttributes(platform, DiskPath(number), record)) return Text();
  return AttributeText(record.Attributes);
}

std::int64_t GetDiskLength(Platform& platform, Handle device) {
  if (device == kInvalidHandle) return 0;
  std::array<std::uint8_t, rec::kLengthInformationSize> buffer{};
  if (!platform.DeviceIoControl(device, ioctl::kDiskGetLengthInfo, {}, buffer)) return 0;
  return ByteReader(buffer).I64(0);
}

}  // namespace sb
