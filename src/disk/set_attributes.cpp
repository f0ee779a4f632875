#include "disk/set_attributes.h"

#include <array>

#include "platform/handle.h"
#include "platform/records.h"

namespace sb {

bool SetDiskAttributes(Platform& platform, const Text& path, std::uint64_t attributes,
                       std::uint64_t mask) {
  const UniqueHandle device =
      OpenExisting(platform, path, win::kGenericRead | win::kGenericWrite, kShareReadWrite);
  if (!device.valid()) return false;

  // Persist and the reserved bytes stay zero: the platform is not asked to remember the
  // change across restarts.
  std::array<std::uint8_t, rec::kSetDiskAttributesSize> block{};
  ByteWriter writer(block);
  writer.U32(rec::kSetDiskAttributesVersion, rec::kSetDiskAttributesSize);
  writer.U64(rec::kSetDiskAttributesAttributes, attributes);
  writer.U64(rec::kSetDiskAttributesMask, mask);

  // On failure the owner's close keeps the request's error for the caller.
  return platform.DeviceIoControl(device.get(), ioctl::kDiskSetDiskAttributes, block, {});
}

}  // namespace sb
