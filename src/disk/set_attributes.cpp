#include "disk/set_attributes.h"

#include <array>

#include "platform/handle.h"
#include "platform/records.h"

namespace sb {

bool SetDiskAttributes(Platform& platform, const Text& path, std::uint64_t attributes,
                       std::uint64_t mask) {
  UniqueHandle device(platform, platform.CreateFile(path, win::kGenericRead | win::kGenericWrite,
                                                    win::kFileShareRead | win::kFileShareWrite,
                                                    win::kOpenExisting, 0));
  if (!device.valid()) return false;

  // Persist and the reserved bytes stay zero: the platform is not asked to remember the
  // change across restarts.
  std::array<std::uint8_t, rec::kSetDiskAttributesSize> block{};
  ByteWriter writer(block);
  writer.U32(rec::kSetDiskAttributesVersion, rec::kSetDiskAttributesSize);
  writer.U64(rec::kSetDiskAttributesAttributes, attributes);
  writer.U64(rec::kSetDiskAttributesMask, mask);

  if (platform.DeviceIoControl(device.get(), ioctl::kDiskSetDiskAttributes, block, {})) {
    return true;
  }
  // Closing the handle must not cover up why the request failed.
  const std::uint32_t error = platform.GetLastError();
  device.Close();
  platform.SetLastError(error);
  return false;
}

}  // namespace sb
