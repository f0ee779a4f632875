#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fake_view.h"
#include "support/machines.h"
#include "support/notices.h"
#include "support/scenario_fixture.h"
#include "ui/main_form.h"
#include "ui/notices.h"

namespace sb {
namespace {

using test::A;
using test::VolumeNotice;

TEST(UnitMaskToDrive, LowestOfTheTwentySixLowBits) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {1u << 4, "E:"},
      {(1u << 4) | (1u << 5), "E:"},  // several drives: only the lowest is named
      {1u, "A:"},
      {1u << 25, "Z:"},
      {0, ""},
      {0xFC000000u, ""},  // bits 26 to 31 are never looked at
      {0xFC000000u | (1u << 2), "C:"},
  };
  for (const auto& [mask, drive] : cases) {
    EXPECT_EQ(A(UnitMaskToDrive(VolumeNotice(mask))), drive) << std::hex << mask;
  }
  // A record too short to hold the mask names no drive.
  EXPECT_EQ(A(UnitMaskToDrive(Bytes(8, 0xFF))), "");
}

class NoticesTest : public test::MainFormTest<> {
 protected:
  void SetUp() override {
    machine.AddDisk(0, test::ListDisk("System", 100 * test::kMiB));
    form.FormShow();
    view.events.clear();
  }
};

TEST_F(NoticesTest, ArrivalAndRemovalWriteATimeStampedLineAndRefresh) {
  machine.AddDisk(3, test::ListDisk("Stick", 8 * test::kMiB, 0, 7));
  form.WMDeviceChange(win::kDbtDeviceArrival, VolumeNotice(1u << 6));
  EXPECT_EQ(view.status, "12/9/2026 10:00:00 AM : device inserted G:");
  EXPECT_THAT(view.events, ::testing::ElementsAre("status: " + view.status, "refresh"));
  EXPECT_EQ(view.rows.size(), 2u);

  machine.RemoveDisk(3);
  form.WMDeviceChange(win::kDbtDeviceRemoveComplete, VolumeNotice(1u << 6));
  EXPECT_EQ(view.status, "12/9/2026 10:00:00 AM : device removed G:");
  EXPECT_EQ(view.rows.size(), 1u);
}

TEST_F(NoticesTest, AMaskWithoutDrivesEndsWithTheEventWords) {
  form.WMDeviceChange(win::kDbtDeviceArrival, VolumeNotice(0x80000000u));
  EXPECT_EQ(view.status, "12/9/2026 10:00:00 AM : device inserted ");
}

TEST_F(NoticesTest, OtherEventsAndDeviceTypesChangeNothing) {
  Bytes port = VolumeNotice(1u << 4);
  ByteWriter(port).U32(rec::kBroadcastDeviceType, 3);  // a port
  const struct {
    std::uint32_t event;
    Bytes record;
  } cases[] = {
      {win::kDbtDeviceArrival, port},
      {win::kDbtDeviceRemoveComplete, Bytes(rec::kBroadcastHdrSize, 0)},  // no device type
      {0x8001, VolumeNotice(1u << 4)},                                    // query remove
      {0x8003, VolumeNotice(1u << 4)},                                    // remove pending
      {0x0007, {}},  // nodes changed: no record at all
      {0x0018, {}},  // configuration changed
  };
  for (const auto& c : cases) form.WMDeviceChange(c.event, c.record);
  EXPECT_EQ(view.status, "");
  EXPECT_TRUE(view.events.empty());
}

}  // namespace
}  // namespace sb
