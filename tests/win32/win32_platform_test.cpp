// The Win32 layer against the platform it runs on. Under Wine, \\.\PhysicalDrive0 opens and
// answers the geometry and descriptor requests, and refuses most others with error 50.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "disk/attributes.h"
#include "disk/descriptor.h"
#include "disk/report.h"
#include "platform/handle.h"
#include "platform/records.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_view.h"
#include "ui/disk_list.h"
#include "volumes/mount_points.h"
#include "volumes/volume_routines.h"

namespace sb {
namespace {

using test::A;

TEST(Win32Platform, InvalidHandleMatchesTheSdk) {
  EXPECT_EQ(kInvalidHandle, reinterpret_cast<Handle>(INVALID_HANDLE_VALUE));
}

TEST(Win32Platform, OpensDiskZeroAndRefusesAbsentDisks) {
  Win32Platform platform;
  const UniqueHandle disk =
      OpenExisting(platform, SB_T("\\\\.\\PhysicalDrive0"), win::kGenericRead, kShareReadWrite);
  EXPECT_TRUE(disk.valid());
  const UniqueHandle absent =
      OpenExisting(platform, SB_T("\\\\.\\PhysicalDrive7"), win::kGenericRead, kShareReadWrite);
  EXPECT_FALSE(absent.valid());
  EXPECT_EQ(platform.GetLastError(), win::kErrorFileNotFound);
}

TEST(Win32Platform, GeometryAnswersThroughTheSeam) {
  Win32Platform platform;
  const UniqueHandle disk =
      OpenExisting(platform, SB_T("\\\\.\\PhysicalDrive0"), 0, kShareReadWrite);
  ASSERT_TRUE(disk.valid());
  std::array<std::uint8_t, rec::kGeometryExRequestSize> geometry{};
  ASSERT_TRUE(platform.DeviceIoControl(disk.get(), ioctl::kDiskGetDriveGeometryEx, {}, geometry));
  const ByteReader reader(geometry);
  EXPECT_GT(reader.U32(rec::kGeometryBytesPerSector), 0u);
  EXPECT_GT(reader.I64(rec::kGeometryExDiskSize), 0);
}

TEST(Win32Platform, DiskQueriesOfDiskZero) {
  Win32Platform platform;
  TDisk_Property property;
  ASSERT_TRUE(GetDiskProperty(platform, SB_T("\\\\.\\PhysicalDrive0"), property));
  EXPECT_EQ(A(property.bus_type), "Scsi");  // Wine's disk sits on bus type 1
  EXPECT_FALSE(property.removable);
  // Wine refuses the attribute and length requests.
  EXPECT_EQ(A(DiskAttributesText(platform, SB_T("0"))), "");
  const UniqueHandle disk =
      OpenExisting(platform, SB_T("\\\\.\\PhysicalDrive0"), win::kGenericRead, kShareReadWrite);
  EXPECT_EQ(GetDiskLength(platform, disk.get()), 0);
  EXPECT_EQ(platform.GetLastError(), win::kErrorNotSupported);
}

TEST(Win32Platform, TheDiskListOfThisMachine) {
  Win32Platform platform;
  test::FakeView view;
  _Enum_Drives_lv(platform, view);
  ASSERT_GE(view.rows.size(), 1u);
  EXPECT_EQ(view.rows[0].caption, "0");
  EXPECT_EQ(view.rows[0].subitems.at(0), "DISK");
  EXPECT_EQ(view.rows[0].subitems.size(), 4u);
}

// Wine's disk 0 answers the geometry (10000 cylinders, 255 heads, 63 sectors of 512 bytes)
// and the descriptor (no strings, bus type 1), and refuses the length, layout, failure
// prediction, cache and attribute requests.
TEST(Win32Platform, ReportOfDiskZero) {
  Win32Platform platform;
  test::FakeView::PropertiesWindow memo;
  memo.Add(SB_T("left from before"));
  DiskInfoReport(platform, SB_T("\\\\.\\PhysicalDrive0"), memo);
  EXPECT_THAT(memo.lines, ::testing::ElementsAre(
                              "->Drive Geometry", "Cylinders / Heads / Sectors:10000 / 255 / 63",
                              "BytesPerSector: 512", "->Disk Length", "Size: 0 bytes, 0 Mbytes",
                              "TotalSectors: 0", "->Drive Layout Error!", "->Storage Property",
                              "ProductID: ", "Removeable:False", "BusType:Scsi"));
}

// Wine lists its volumes C: and Z: with \\Device\\HarddiskVolumeN device names; their
// volume devices answer the extents request with no extent.
TEST(Win32Platform, VolumeTableOfThisMachine) {
  Win32Platform platform;
  test::FakeView dialogs;
  VolumeTable table;
  const std::size_t count = list_volumes(platform, dialogs, table);
  EXPECT_TRUE(dialogs.messages.empty());
  ASSERT_GE(count, 2u);
  std::vector<std::string> mount_paths;
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_THAT(table[i].volume_name, ::testing::StartsWith("\\\\?\\Volume{"));
    EXPECT_THAT(table[i].device_name, ::testing::StartsWith("\\Device\\"));
    EXPECT_EQ(VolumeNameToDeviceName(platform, dialogs, table[i].volume_name),
              table[i].device_name);
    mount_paths.push_back(table[i].mount_path);
  }
  EXPECT_THAT(mount_paths, ::testing::IsSupersetOf({"C:\\", "Z:\\"}));
}

// Wine refuses to change mount points: both routines return false, and since nothing was
// raised inside them, they show no box.
TEST(Win32Platform, RefusedMountPointChangesAreSilent) {
  Win32Platform platform;
  test::FakeView dialogs;
  VolumeTable table;
  ASSERT_GE(list_volumes(platform, dialogs, table), 1u);
  EXPECT_FALSE(mount_vol(platform, dialogs, table[0].volume_name));
  EXPECT_FALSE(unmount_vol(platform, dialogs, "Y:\\"));
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(Win32Platform, SystemMessageTextAndConversions) {
  Win32Platform platform;
  EXPECT_THAT(A(platform.FormatMessage(win::kErrorNotSupported)),
              ::testing::HasSubstr("not supported"));
  EXPECT_EQ(platform.AnsiToWide("Volume{1}"), L"Volume{1}");
  EXPECT_EQ(platform.WideToAnsi(L"\\Device\\HarddiskVolume1"), "\\Device\\HarddiskVolume1");
  EXPECT_FALSE(A(platform.LocalDateTimeText()).empty());
}

}  // namespace
}  // namespace sb
