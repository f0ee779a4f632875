// Attribute-change blocks that Windows refuses, for every machine that stands in for it:
// a Version other than the block's size, and a block shorter than 40 bytes. Each asks to
// take the disk offline, so that a machine that took one would show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "platform/records.h"

namespace sb::test {

struct RefusedBlock {
  std::string name;
  Bytes block;
};

inline std::vector<RefusedBlock> RefusedAttributeBlocks() {
  auto offline = [](std::uint32_t version, std::size_t size) {
    Bytes block(rec::kSetDiskAttributesSize, 0);
    ByteWriter writer(block);
    writer.U32(rec::kSetDiskAttributesVersion, version);
    writer.U64(rec::kSetDiskAttributesAttributes, 1);
    writer.U64(rec::kSetDiskAttributesMask, 1);
    block.resize(size);
    return block;
  };
  return {
      {"version 0", offline(0, 40)},
      {"version 39", offline(39, 40)},
      {"version 41", offline(41, 40)},
      {"24 bytes of version 40", offline(40, 24)},
  };
}

// Sends the block on a handle that may change the disk, as SetDiskAttributes opens it.
// The error is the thread's last error after a refused request, 0 after an accepted one.
inline std::uint32_t SendAttributeBlock(Platform& platform, const Text& path, ConstBytes block) {
  const UniqueHandle disk =
      OpenExisting(platform, path, win::kGenericRead | win::kGenericWrite, kShareReadWrite);
  if (!disk.valid()) return platform.GetLastError();
  if (platform.DeviceIoControl(disk.get(), ioctl::kDiskSetDiskAttributes, block, {})) return 0;
  return platform.GetLastError();
}

}  // namespace sb::test
