#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "support/fake_view.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"
#include "ui/disk_list.h"
#include "ui/main_form.h"

namespace sb {
namespace {

using test::FakeView;
using test::kMiB;
using test::ListDisk;
using ::testing::ElementsAre;

class DiskListTest : public test::MainFormTest<> {};

TEST_F(DiskListTest, ListsTheDisksThatOpenInNumberOrder) {
  machine.AddDisk(0, ListDisk("System SSD", 256 * kMiB + 5, 0));
  machine.AddDisk(2, ListDisk("Backup", 1000 * kMiB, 3));
  machine.AddDisk(16, ListDisk("Never listed", kMiB));
  view.on_select = [this] { form.lvdisksSelectItem(); };
  form.FormShow();
  EXPECT_THAT(view.RowTexts(), ElementsAre("0|DISK|System SSD|256|Online Read-Write ",
                                           "2|DISK|Backup|1000|Offline Read-Only "));
  EXPECT_EQ(view.selected, 0u);
  EXPECT_TRUE(view.list_focused);
  // The row is selected as a click selects it: the selection handler enables the buttons.
  EXPECT_EQ(view.buttons_enabled, 1);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DiskListTest, ProbesEachNumberThenQueriesEachPresentDisk) {
  machine.AddDisk(1, ListDisk("Only", 2 * kMiB));
  form.RefreshDiskList();
  std::vector<std::string> calls;
  for (const auto& call : machine.calls()) {
    if (call.op == "CreateFile" && !call.ok) continue;
    calls.push_back(call.ToString());
  }
  EXPECT_THAT(
      calls,
      ElementsAre("CreateFile(\\\\.\\physicaldrive1 -> h1, access 0x80000000, share 3, flags "
                  "0x00000080) ok",
                  "DeviceIoControl(h1, 0x0007405C, in 0, out 8) ok", "CloseHandle(h1) ok",
                  "CreateFile(\\\\.\\PhysicalDrive1 -> h2, access 0x80000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h2, 0x002D1400, in 12, out 4096) ok", "CloseHandle(h2) ok",
                  "CreateFile(\\\\.\\PhysicalDrive1 -> h3, access 0x80000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h3, 0x000700F0, in 0, out 16) ok", "CloseHandle(h3) ok"));
  EXPECT_EQ(machine.CallsOf("CreateFile").size(), 16u + 2u);
}

// A length is signed; megabytes are its quotient, rounded toward zero.
TEST_F(DiskListTest, NegativeLengthsAreDividedAsSignedNumbers) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {-1, "0"},
      {-kMiB + 1, "0"},
      {-kMiB, "-1"},
      {-kMiB - 1, "-1"},
      {-5 * kMiB + 1, "-4"},
      {std::numeric_limits<std::int64_t>::min(), "-8796093022208"},
  };
  for (const auto& [length, megabytes] : cases) {
    sim::SimMachine fresh;
    fresh.AddDisk(3, ListDisk("Odd", length));
    FakeView list;
    _Enum_Drives_lv(fresh, list);
    EXPECT_THAT(list.RowTexts(),
                ElementsAre(std::string("3|DISK|Odd|") + megabytes + "|Online Read-Write "))
        << length;
  }
}

TEST_F(DiskListTest, FailingQueriesLeaveTheirCellsAtTheirDefaults) {
  sim::Disk no_length = ListDisk("No length", 10 * kMiB);
  no_length.answers_length = false;
  sim::Disk no_descriptor = ListDisk("", 10 * kMiB, 1);
  no_descriptor.descriptor.reset();
  sim::Disk no_attributes = ListDisk("No attributes", 3 * kMiB);
  no_attributes.answers_attributes = false;
  machine.AddDisk(0, no_length);
  machine.AddDisk(1, no_descriptor);
  machine.AddDisk(2, no_attributes);
  machine.AddDisk(3, sim::Disk{.open_error = win::kErrorAccessDenied});
  machine.AddDisk(4, ListDisk("Tiny", kMiB - 1, 2));
  form.RefreshDiskList();
  EXPECT_THAT(view.RowTexts(),
              ElementsAre("0|DISK|No length|0|Online Read-Write ", "1|DISK||10|Offline Read-Write ",
                          "2|DISK|No attributes|3|", "4|DISK|Tiny|0|Online Read-Only "));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DiskListTest, RefreshKeepsThePositionNotTheDisk) {
  for (std::uint32_t n : {0u, 1u, 2u, 3u})
    machine.AddDisk(n, ListDisk("D" + std::to_string(n), kMiB));
  form.RefreshDiskList();
  view.selected = 2;
  view.list_focused = false;
  form.Refresh1Click();
  EXPECT_EQ(view.selected, 2u);
  EXPECT_TRUE(view.list_focused);

  machine.RemoveDisk(1);  // the disk at position 1 vanishes: position 2 now holds disk 3
  form.RefreshDiskList();
  EXPECT_EQ(view.rows.at(*view.selected).caption, "3");

  view.selected = 2;
  machine.RemoveDisk(3);  // position 2 lies past the last row now: the last row is taken
  form.RefreshDiskList();
  EXPECT_EQ(view.selected, 1u);
}

TEST_F(DiskListTest, AnEmptyMachineGivesAnEmptyListWithoutFocusOrMessage) {
  form.FormShow();
  form.RefreshDiskList();
  EXPECT_TRUE(view.rows.empty());
  EXPECT_FALSE(view.selected.has_value());
  EXPECT_FALSE(view.list_focused);
  EXPECT_TRUE(view.messages.empty());
}

// A list view that fails while a row is added, as a real control can when memory runs out.
class FailingList : public FakeView {
 public:
  std::size_t AppendRow() override {
    if (rows.size() == 1) throw std::runtime_error("out of memory");
    return FakeView::AppendRow();
  }
};

class DiskListErrors : public test::MainFormTest<FailingList> {};

TEST_F(DiskListErrors, AFailingRefillIsReportedAndTheRowsAddedStay) {
  for (std::uint32_t n : {0u, 1u, 2u}) machine.AddDisk(n, ListDisk("Disk", kMiB));
  form.RefreshDiskList();
  EXPECT_THAT(view.messages, ElementsAre("_Enum_Drives_lv:out of memory"));
  EXPECT_THAT(view.RowTexts(), ElementsAre("0|DISK|Disk|1|Online Read-Write "));
  EXPECT_EQ(view.selected, 0u);
  EXPECT_TRUE(machine.OpenHandles().empty());
}

}  // namespace
}  // namespace sb
