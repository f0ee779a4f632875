// The simulated machine answers as Windows' disk drivers do (platform/sim/disk_answer_rules.h):
// the requests at the edges of each rule, on disks, and the volume extents request.
#include <gtest/gtest.h>

#include "platform/handle.h"
#include "platform/records.h"
#include "support/answer_rule_cases.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"

namespace sb {
namespace {

class AnswerRulesTest : public test::MachineTest {};

TEST_F(AnswerRulesTest, DiskRequestsAtTheEdgesOfEachRule) {
  for (const test::RuleCase& c : test::kRuleCases) {
    SCOPED_TRACE(c.what);
    machine.AddDisk(3, test::RuleDiskOf(c.disk));
    const Handle disk = machine.CreateFile(SB_T("\\\\.\\PhysicalDrive3"), win::kGenericRead,
                                           kShareReadWrite, win::kOpenExisting, 0);
    ASSERT_NE(disk, kInvalidHandle);
    const Bytes input = test::RuleInput(c);
    Bytes output(c.output, 0);
    machine.SetLastError(0);
    const bool ok = machine.DeviceIoControl(disk, c.code, input, output);
    EXPECT_EQ(ok ? 0u : machine.GetLastError(), c.error);
    machine.CloseHandle(disk);
  }
}

// A volume over three disks: a buffer without room for one extent is refused; one without
// room for all of them gets the count and the first extent.
TEST_F(AnswerRulesTest, VolumeExtentsThatDoNotFit) {
  machine.AddVolume({.guid_name = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000AA}\\",
                     .extents = {{4, 1048576, 1000}, {5, 2048, 2000}, {6, 4096, 3000}}});
  const Handle volume = machine.CreateFile(
      SB_T("\\\\?\\Volume{00000000-0000-0000-0000-0000000000AA}"),
      win::kGenericRead | win::kGenericWrite, kShareReadWrite, win::kOpenExisting, 0);
  ASSERT_NE(volume, kInvalidHandle);
  Bytes small(31, 0xCC);
  EXPECT_FALSE(machine.DeviceIoControl(volume, ioctl::kVolumeGetVolumeDiskExtents, {}, small));
  EXPECT_EQ(machine.GetLastError(), win::kErrorInvalidParameter);
  EXPECT_EQ(small, Bytes(31, 0xCC));

  Bytes two(rec::kVolumeExtentsFirst + 2 * rec::kDiskExtentSize, 0xCC);
  EXPECT_FALSE(machine.DeviceIoControl(volume, ioctl::kVolumeGetVolumeDiskExtents, {}, two));
  EXPECT_EQ(machine.GetLastError(), win::kErrorMoreData);
  const ByteReader reader(two);
  EXPECT_EQ(reader.U32(rec::kVolumeExtentsCount), 3u);
  EXPECT_EQ(reader.U32(rec::kVolumeExtentsFirst + rec::kDiskExtentDiskNumber), 4u);
  EXPECT_EQ(reader.I64(rec::kVolumeExtentsFirst + rec::kDiskExtentStartingOffset), 1048576);
  EXPECT_EQ(reader.I64(rec::kVolumeExtentsFirst + rec::kDiskExtentLength), 1000);
  // The second extent is not given.
  EXPECT_EQ(reader.U32(rec::kVolumeExtentsFirst + rec::kDiskExtentSize), 0xCCCCCCCCu);

  Bytes all(rec::kVolumeExtentsBufferSize, 0);
  EXPECT_TRUE(machine.DeviceIoControl(volume, ioctl::kVolumeGetVolumeDiskExtents, {}, all));
  EXPECT_EQ(ByteReader(all).U32(rec::kVolumeExtentsFirst + 2 * rec::kDiskExtentSize), 6u);
  machine.CloseHandle(volume);
}

}  // namespace
}  // namespace sb
