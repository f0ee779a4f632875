// The test disk driver's own checks, which the disks stage relies on to refuse what
// Windows refuses: a program that sent such a request must not pass there.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include "disk/attributes.h"
#include "disk/device_path.h"
#include "driver_disks.h"
#include "platform/handle.h"
#include "platform/records.h"
#include "platform/text.h"
#include "support/machines.h"
#include "support/refused_attribute_blocks.h"

namespace sb::test {
namespace {

constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;

TEST_F(DriverDisks, TheDriverRefusesAnAttributeBlockOfAnotherVersionOrSize) {
  AddDisk(3, ListDisk("Data", kGiB, 2, kSata, sim::MbrLayoutBytes(4, 1)));
  for (const auto& refused : RefusedAttributeBlocks()) {
    EXPECT_EQ(SendAttributeBlock(real_, DiskPath(DecUnsigned(3)), refused.block),
              win::kErrorInvalidParameter)
        << refused.name;
    TGetDiskAttributes word;
    ASSERT_TRUE(GetDiskAttributes(real_, DiskPath(DecUnsigned(3)), word));
    EXPECT_EQ(word.Attributes, 2u) << refused.name;
  }
}

// The existence query of the device property (StorageDeviceProperty, PropertyExistsQuery)
// succeeds only for a disk that has a descriptor.
TEST_F(DriverDisks, TheDescriptorExistsOnlyWhereOneIsDescribed) {
  sim::Disk without = ListDisk("None", kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1));
  without.descriptor.reset();
  AddDisk(4, ListDisk("Data", kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1)));
  AddDisk(5, without);
  Bytes query(rec::kStoragePropertyQuerySize, 0);
  ByteWriter(query).U32(4, 1);  // QueryType PropertyExistsQuery; PropertyId 0 is the device
  const struct {
    std::uint32_t disk;
    bool exists;
  } cases[] = {{4, true}, {5, false}};
  for (const auto& c : cases) {
    const UniqueHandle disk =
        OpenExisting(real_, DiskPath(DecUnsigned(c.disk)), win::kGenericRead, kShareReadWrite);
    ASSERT_TRUE(disk.valid());
    EXPECT_EQ(real_.DeviceIoControl(disk.get(), ioctl::kStorageQueryProperty, query, {}), c.exists)
        << "disk " << c.disk;
    if (!c.exists) {
      EXPECT_EQ(real_.GetLastError(), win::kErrorNotSupported);
    }
  }
}

}  // namespace
}  // namespace sb::test
