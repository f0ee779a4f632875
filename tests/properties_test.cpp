#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fake_view.h"
#include "support/handler_barrier.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"
#include <new>
#include <stdexcept>

#include "platform/error.h"
#include "ui/exception_report.h"
#include "ui/main_form.h"

namespace sb {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A view that notes how many platform calls had been made when each window opened.
class WatchingView : public test::FakeView {
 public:
  explicit WatchingView(const sim::SimMachine& machine) : machine_(machine) {}
  Lines& OpenProperties(const Text& caption) override {
    calls_at_open.push_back(machine_.calls().size());
    return FakeView::OpenProperties(caption);
  }
  std::vector<std::size_t> calls_at_open;

 private:
  const sim::SimMachine& machine_;
};

class PropertiesTest : public test::MainFormTest<WatchingView> {};

TEST_F(PropertiesTest, WithoutASelectionAsksForADisk) {
  machine.AddDisk(0, test::ListDisk("Disk", test::kMiB));
  view.rows = {{"0", {}}};
  form.lvdisksDblClick();
  form.ShowDiskPartInformations1Click();
  EXPECT_THAT(view.messages, ElementsAre("pick a disk/part", "pick a disk/part"));
  EXPECT_THAT(view.properties, IsEmpty());
  EXPECT_THAT(machine.calls(), IsEmpty());
}

TEST_F(PropertiesTest, EachRequestOpensItsOwnWindowWithTheReport) {
  sim::Disk disk = test::ListDisk("Data Disk", 3 * test::kMiB, 1, 7);
  disk.geometry = sim::GeometryBytes(3, 12, 16, 128, 512, 3 * test::kMiB);
  machine.AddDisk(0, disk);
  view.rows = {{"0", {}}};
  view.selected = 0;
  form.lvdisksDblClick();
  form.ShowDiskPartInformations1Click();

  ASSERT_EQ(view.properties.size(), 2u);
  for (const auto& window : view.properties) {
    EXPECT_EQ(window->caption, "Properties for \\\\.\\PhysicalDrive0");
    EXPECT_THAT(window->lines,
                ElementsAre("->Drive Geometry", "Cylinders / Heads / Sectors:3 / 16 / 128",
                            "BytesPerSector: 512", "->Disk Length", "Size: 3145728 bytes, 3 Mbytes",
                            "TotalSectors: 6144", "->Drive Layout Error!", "->Storage Property",
                            "Vendorid: ACME", "ProductID: Data Disk", "ProductRev: 1.0",
                            "S/N: SN0001", "Removeable:False", "BusType:Usb", "->Disk Attributes",
#ifdef SPINDLEBAY_NARROW
                            "Attributes: Offline Read-Write "
#else
                            "Attributes: Offline "
#endif
                            ));
  }
  EXPECT_THAT(view.messages, IsEmpty());
  // Each window is open before its report sends anything.
  const std::size_t calls_per_report = machine.calls().size() / 2;
  EXPECT_THAT(view.calls_at_open, ElementsAre(0u, calls_per_report));
}

TEST_F(PropertiesTest, ThePathComesFromTheSelectedRowsCaption) {
  machine.AddDisk(12, test::ListDisk("Twelve", test::kMiB));  // answers no geometry
  view.rows = {{"0", {}}, {"12", {}}};
  view.selected = 1;
  form.ShowProperties();
  ASSERT_EQ(view.properties.size(), 1u);
  EXPECT_EQ(view.properties[0]->caption, "Properties for \\\\.\\PhysicalDrive12");
  EXPECT_THAT(view.properties[0]->lines, ElementsAre("->Drive Geometry"));
  EXPECT_EQ(machine.calls().front().ToString(),
            "CreateFile(\\\\.\\PhysicalDrive12 -> h1, access 0x00000000, share 3, flags "
            "0x00000000) ok");
}

// The window runs every handler behind its exception barrier: a Properties window that
// cannot be created is reported in the message dialog, and the program goes on.
TEST_F(PropertiesTest, AWindowThatCannotBeCreatedIsReportedAndTheProgramGoesOn) {
  machine.AddDisk(0, test::ListDisk("Alpha", test::kMiB));
  form.FormShow();
  view.refuse_properties = true;
  EXPECT_FALSE(test::RunHandler(view, [this] { form.lvdisksDblClick(); }));
  EXPECT_THAT(view.messages, ElementsAre("Error creating window handle."));
  EXPECT_THAT(view.properties, IsEmpty());
  EXPECT_TRUE(machine.CallsOf("DeviceIoControl").size() > 0);

  view.refuse_properties = false;
  EXPECT_TRUE(test::RunHandler(view, [this] { form.ShowDiskPartInformations1Click(); }));
  ASSERT_EQ(view.properties.size(), 1u);
  EXPECT_EQ(view.properties[0]->caption, "Properties for \\\\.\\PhysicalDrive0");
  EXPECT_EQ(view.messages.size(), 1u);
}

TEST(ExceptionText, NamesWhatWasCaught) {
  struct NotAnException {};
  EXPECT_EQ(test::A(ExceptionText(std::make_exception_ptr(Error(SB_T("own words"))))), "own words");
  EXPECT_EQ(test::A(ExceptionText(std::make_exception_ptr(std::runtime_error("what it says")))),
            "what it says");
  EXPECT_EQ(test::A(ExceptionText(std::make_exception_ptr(NotAnException{}))), "Unknown error.");
  EXPECT_EQ(test::A(ExceptionText(nullptr)), "Unknown error.");
}

// A dialog that fails itself cannot take the program down with it.
TEST(ReportException, AFailingDialogIsSwallowed) {
  class FailingDialog : public test::FakeView {
   public:
    void ShowMessage(const Text&) override { throw std::bad_alloc(); }
  } view;
  EXPECT_FALSE(test::RunHandler(view, [] { throw Error(SB_T("first")); }));
}

}  // namespace
}  // namespace sb
