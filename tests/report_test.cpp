#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "disk/report.h"
#include "platform/records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"

namespace sb {
namespace {

using test::A;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using LineList = std::vector<std::string>;

const Text kDisk0 = SB_T("\\\\.\\PhysicalDrive0");

LineList Join(std::initializer_list<LineList> parts) {
  LineList lines;
  for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

// The report's attribute texts differ between the two programs.
#ifdef SPINDLEBAY_NARROW
const std::string kWord0 = "Online Read-Write ";
const std::string kWord1 = "Offline Read-Write ";
const std::string kWord2 = "Online Read-Only ";
#else
const std::string kWord0 = "Normal ";
const std::string kWord1 = "Offline ";
const std::string kWord2 = "Read-Only ";
#endif
const std::string kWord3 = "Offline Read-Only ";

// A healthy 512 MiB MBR disk that answers every request of the report.
sim::Disk HealthyDisk() {
  sim::Disk disk = test::ListDisk("System SSD", 512 * test::kMiB);
  disk.geometry = sim::GeometryBytes(1024, 12, 255, 63, 512, 512 * test::kMiB);
  disk.layout = sim::MbrLayoutBytes(4, 0x1234ABCD);
  disk.predict_failure = sim::PredictFailureBytes(0);
  disk.cache = sim::CacheBytes(true, false);
  return disk;
}

const LineList kGeometry = {"->Drive Geometry", "Cylinders / Heads / Sectors:1024 / 255 / 63",
                            "BytesPerSector: 512"};
const LineList kLength = {"->Disk Length", "Size: 536870912 bytes, 512 Mbytes",
                          "TotalSectors: 1048576"};
const LineList kZeroLength = {"->Disk Length", "Size: 0 bytes, 0 Mbytes", "TotalSectors: 0"};
const LineList kMbrLayout = {"->Drive Layout", "Style: MBR", "PartitionCount: 4",
                             "DiskID: 1234ABCD"};
const LineList kLayoutError = {"->Drive Layout Error!"};
const LineList kNoPrediction = {"->Storage Predict Failure: False"};
const LineList kProperty = {"->Storage Property", "Vendorid: ACME", "ProductID: System SSD",
                            "ProductRev: 1.0",    "S/N: SN0001",    "Removeable:False",
                            "BusType:Sata"};
const LineList kCache = {"->Disk Cache Information",
                         "ReadCacheEnabled:True / WriteCacheEnabled:False"};
const LineList kAttributes = {"->Disk Attributes", "Attributes: " + kWord0};

const LineList kHealthyReport =
    Join({kGeometry, kLength, kMbrLayout, kNoPrediction, kProperty, kCache, kAttributes});

class ReportTest : public test::MachineTest {
 protected:
  LineList Report(const Text& path = kDisk0) {
    window.lines = {"left from before", ""};
    DiskInfoReport(machine, path, window);
    return window.lines;
  }
  test::FakeView::PropertiesWindow window;
};

TEST_F(ReportTest, HealthyMbrDiskInQueryOrder) {
  machine.AddDisk(0, HealthyDisk());
  EXPECT_THAT(Report(), ElementsAreArray(kHealthyReport));

  std::vector<std::string> calls;
  for (const auto& call : machine.calls()) calls.push_back(call.ToString());
  EXPECT_THAT(
      calls,
      ElementsAre("CreateFile(\\\\.\\PhysicalDrive0 -> h1, access 0x00000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h1, 0x000700A0, in 0, out 40) ok", "CloseHandle(h1) ok",
                  // The report's own handle stays open across the layout query.
                  "CreateFile(\\\\.\\PhysicalDrive0 -> h2, access 0x80000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h2, 0x0007405C, in 0, out 8) ok",
                  "CreateFile(\\\\.\\PhysicalDrive0 -> h3, access 0x80000000, share 1, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h3, 0x00070050, in 0, out 9264) ok", "CloseHandle(h3) ok",
                  "DeviceIoControl(h2, 0x002D1100, in 0, out 516) ok", "CloseHandle(h2) ok",
                  "CreateFile(\\\\.\\PhysicalDrive0 -> h4, access 0x80000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h4, 0x002D1400, in 12, out 4096) ok", "CloseHandle(h4) ok",
                  "CreateFile(\\\\.\\PhysicalDrive0 -> h5, access 0x80000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h5, 0x000740D4, in 0, out 24) ok", "CloseHandle(h5) ok",
                  "CreateFile(\\\\.\\PhysicalDrive0 -> h6, access 0x80000000, share 3, flags "
                  "0x00000000) ok",
                  "DeviceIoControl(h6, 0x000700F0, in 0, out 16) ok", "CloseHandle(h6) ok"));
}

TEST_F(ReportTest, DiskNumberIsReadFromThePathInAnyLetterCase) {
  machine.AddDisk(12, HealthyDisk());
  EXPECT_THAT(Report(SB_T("\\\\.\\physicaldrive12")), ElementsAreArray(kHealthyReport));
  EXPECT_EQ(machine.calls().front().target, "\\\\.\\PhysicalDrive12 -> h1");
}

TEST_F(ReportTest, GeometryFailureEndsTheReportAfterItsHead) {
  sim::Disk disk = HealthyDisk();
  disk.geometry.reset();
  machine.AddDisk(0, disk);
  EXPECT_THAT(Report(), ElementsAre("->Drive Geometry"));
  EXPECT_EQ(machine.CallsOf("CreateFile").size(), 1u);  // no further query
}

TEST_F(ReportTest, RefusedOwnOpenShowsZeroLengthAndNoPrediction) {
  machine.AddDisk(0, HealthyDisk());
  // Calls 1 and 2 are the geometry's open and request; call 3 is the report's own open.
  machine.FailNthCall(3, win::kErrorAccessDenied);
  EXPECT_THAT(
      Report(),
      ElementsAreArray(Join({kGeometry, kZeroLength, kMbrLayout, kProperty, kCache, kAttributes})));
  for (const auto& request : machine.CallsOf("DeviceIoControl")) {
    EXPECT_NE(request.code, ioctl::kDiskGetLengthInfo);
    EXPECT_NE(request.code, ioctl::kStoragePredictFailure);
  }
}

// One change to the healthy disk and the whole report it gives.
struct Scenario {
  const char* name;
  std::function<void(sim::Disk&)> change;
  LineList lines;
};

TEST_F(ReportTest, EachSectionFollowsItsOwnQuery) {
  const Scenario scenarios[] = {
      {"length request fails", [](sim::Disk& d) { d.answers_length = false; },
       Join({kGeometry, kZeroLength, kMbrLayout, kNoPrediction, kProperty, kCache, kAttributes})},
      {"layout request fails", [](sim::Disk& d) { d.layout.reset(); },
       Join({kGeometry, kLength, kLayoutError, kNoPrediction, kProperty, kCache, kAttributes})},
      {"layout too large for 64 entries",
       [](sim::Disk& d) { d.layout = sim::MbrLayoutBytes(65, 1); },
       Join({kGeometry, kLength, kLayoutError, kNoPrediction, kProperty, kCache, kAttributes})},
      {"prediction fails", [](sim::Disk& d) { d.predict_failure.reset(); },
       Join({kGeometry, kLength, kMbrLayout, kProperty, kCache, kAttributes})},
      {"failure predicted", [](sim::Disk& d) { d.predict_failure = sim::PredictFailureBytes(7); },
       Join({kGeometry,
             kLength,
             kMbrLayout,
             {"->Storage Predict Failure: True"},
             kProperty,
             kCache,
             kAttributes})},
      {"descriptor fails", [](sim::Disk& d) { d.descriptor.reset(); },
       Join({kGeometry,
             kLength,
             kMbrLayout,
             kNoPrediction,
             {"->Storage Property"},
             kCache,
             kAttributes})},
      {"cache fails", [](sim::Disk& d) { d.cache.reset(); },
       Join({kGeometry, kLength, kMbrLayout, kNoPrediction, kProperty, kAttributes})},
      {"attributes fail", [](sim::Disk& d) { d.answers_attributes = false; },
       Join({kGeometry, kLength, kMbrLayout, kNoPrediction, kProperty, kCache})},
      {"everything after the geometry fails",
       [](sim::Disk& d) {
         d = sim::Disk{
             .geometry = d.geometry, .answers_length = false, .answers_attributes = false};
       },
       Join({kGeometry, kZeroLength, kLayoutError, {"->Storage Property"}})},
  };
  for (const auto& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    sim::SimMachine fresh;
    sim::Disk disk = HealthyDisk();
    scenario.change(disk);
    fresh.AddDisk(0, disk);
    test::FakeView::PropertiesWindow lines;
    DiskInfoReport(fresh, kDisk0, lines);
    EXPECT_THAT(lines.lines, ElementsAreArray(scenario.lines));
    EXPECT_TRUE(fresh.OpenHandles().empty());
  }
}

TEST_F(ReportTest, LayoutStylesAndIdentifiers) {
  Bytes huge_count = sim::LayoutBytes(3, 0);
  ByteWriter(huge_count).U32(rec::kLayoutPartitionCount, 0xFFFFFFFF);
  const std::pair<Bytes, LineList> cases[] = {
      {sim::GptLayoutBytes(2, {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xaa,
                               0xbb, 0xcc, 0xdd, 0xee, 0xff}),
       {"->Drive Layout", "Style: GPT", "PartitionCount: 2",
        "DiskID: {00112233-4455-6677-8899-AABBCCDDEEFF}"}},
      {sim::LayoutBytes(2, 0), {"->Drive Layout", "Style: RAW", "PartitionCount: 0"}},
      {sim::LayoutBytes(3, 5), {"->Drive Layout", "???", "PartitionCount: 5"}},
      {huge_count, {"->Drive Layout", "???", "PartitionCount: 4294967295"}},
      {sim::MbrLayoutBytes(1, 0),
       {"->Drive Layout", "Style: MBR", "PartitionCount: 1", "DiskID: 0000"}},
  };
  for (const auto& [layout, layout_lines] : cases) {
    SCOPED_TRACE(layout_lines.back());
    sim::SimMachine fresh;
    sim::Disk disk = HealthyDisk();
    disk.layout = layout;
    fresh.AddDisk(0, disk);
    test::FakeView::PropertiesWindow lines;
    DiskInfoReport(fresh, kDisk0, lines);
    EXPECT_THAT(lines.lines, ElementsAreArray(Join({kGeometry, kLength, layout_lines, kNoPrediction,
                                                    kProperty, kCache, kAttributes})));
  }
}

TEST(MbrDiskIdText, PadsToFourAndWidensSevenDigitsToEight) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "0000"},          {0xAB, "00AB"},          {0x12345, "12345"},
      {0xABCDEF, "ABCDEF"}, {0x1234567, "01234567"}, {0x89ABCDEF, "89ABCDEF"},
  };
  for (const auto& [signature, text] : cases) {
    EXPECT_EQ(A(MbrDiskIdText(signature)), text) << signature;
  }
}

TEST(GptDiskIdText, WritesTheFieldsAsNumbersAndTheTailInStoredOrder) {
  const std::uint8_t guid[16] = {0x01, 0,    0, 0, 0x02, 0, 0x03, 0,
                                 0x0a, 0x0b, 0, 0, 0,    0, 0x0e, 0x0f};
  EXPECT_EQ(A(GptDiskIdText(guid)), "{00000001-0002-0003-0A0B-000000000E0F}");
}

TEST_F(ReportTest, AttributeWords) {
  const std::pair<std::uint64_t, std::string> cases[] = {
      {0, kWord0}, {1, kWord1}, {2, kWord2}, {3, kWord3},
      {4, ""},     {6, kWord2}, {7, kWord3}, {0x8000000000000002ull, kWord2},
  };
  for (const auto& [word, text] : cases) {
    SCOPED_TRACE(word);
    sim::SimMachine fresh;
    sim::Disk disk = HealthyDisk();
    disk.attributes = word;
    fresh.AddDisk(0, disk);
    test::FakeView::PropertiesWindow lines;
    DiskInfoReport(fresh, kDisk0, lines);
    EXPECT_THAT(lines.lines,
                ElementsAreArray(Join({kGeometry,
                                       kLength,
                                       kMbrLayout,
                                       kNoPrediction,
                                       kProperty,
                                       kCache,
                                       {"->Disk Attributes", "Attributes: " + text}})));
  }
}

TEST_F(ReportTest, SizeLinesDivideTheLength) {
  const struct {
    std::int64_t length;
    std::uint32_t bytes_per_sector;
    LineList lines;
  } cases[] = {
      {test::kMiB, 512, {"Size: 1048576 bytes, 1 Mbytes", "TotalSectors: 2048"}},
      {test::kMiB - 1, 4096, {"Size: 1048575 bytes, 0 Mbytes", "TotalSectors: 255"}},
      // No sector size to count with: 0 sectors instead of a division by zero.
      {test::kMiB, 0, {"Size: 1048576 bytes, 1 Mbytes", "TotalSectors: 0"}},
      // A hostile device's negative length divides towards zero without overflowing.
      {-1048577, 512, {"Size: -1048577 bytes, -1 Mbytes", "TotalSectors: -2048"}},
      {std::numeric_limits<std::int64_t>::min(),
       1,
       {"Size: -9223372036854775808 bytes, -8796093022208 Mbytes",
        "TotalSectors: -9223372036854775808"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    sim::SimMachine fresh;
    sim::Disk disk = HealthyDisk();
    disk.length = c.length;
    disk.geometry = sim::GeometryBytes(2, 12, 16, 64, c.bytes_per_sector, c.length);
    fresh.AddDisk(0, disk);
    test::FakeView::PropertiesWindow lines;
    DiskInfoReport(fresh, kDisk0, lines);
    EXPECT_THAT(lines.lines,
                ElementsAreArray(Join(
                    {{"->Drive Geometry", "Cylinders / Heads / Sectors:2 / 16 / 64",
                      "BytesPerSector: " + std::to_string(c.bytes_per_sector), "->Disk Length"},
                     c.lines,
                     kMbrLayout,
                     kNoPrediction,
                     kProperty,
                     kCache,
                     kAttributes})));
    EXPECT_TRUE(fresh.OpenHandles().empty());
  }
}

TEST_F(ReportTest, IdentifiersOfOneCharacterAreLeftOutButTheProductAlwaysShows) {
  struct Case {
    sim::DescriptorFields fields;
    std::vector<std::string> lines;
  };
  // "A" and "1" are single hex digits and decode to nothing; "Q", "r" and "S" are one
  // character of plain text; two characters are enough to be shown.
  const Case cases[] = {
      {{.vendor = "A", .product = "", .revision = "1", .serial = "", .removable = 1, .bus_type = 7},
       {"->Storage Property", "ProductID: ", "Removeable:True", "BusType:Usb"}},
      {{.vendor = "Q",
        .product = "P",
        .revision = "r",
        .serial = "S",
        .removable = 1,
        .bus_type = 7},
       {"->Storage Property", "ProductID: P", "Removeable:True", "BusType:Usb"}},
      {{.vendor = "Qx",
        .product = "P",
        .revision = "rv",
        .serial = "S1",
        .removable = 1,
        .bus_type = 7},
       {"->Storage Property", "Vendorid: Qx", "ProductID: P", "ProductRev: rv", "S/N: S1",
        "Removeable:True", "BusType:Usb"}},
  };
  for (const Case& c : cases) {
    sim::SimMachine fresh;
    sim::Disk disk = HealthyDisk();
    disk.descriptor = sim::DescriptorBytes(c.fields);
    fresh.AddDisk(0, disk);
    window.lines.clear();
    DiskInfoReport(fresh, kDisk0, window);
    EXPECT_THAT(window.lines, ElementsAreArray(Join({kGeometry, kLength, kMbrLayout, kNoPrediction,
                                                     c.lines, kCache, kAttributes})))
        << c.fields.vendor;
  }
}

TEST_F(ReportTest, LinesFromBeforeAreRemovedEvenWhenOnlyTheHeadFollows) {
  window.lines = {"old 1", "old 2"};
  DiskInfoReport(machine, kDisk0, window);  // no disk at all
  EXPECT_THAT(window.lines, ElementsAre("->Drive Geometry"));
}

}  // namespace
}  // namespace sb
