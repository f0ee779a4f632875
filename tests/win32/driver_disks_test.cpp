// The Win32 layer and the program's disk routines over the test disk driver: real
// CreateFileW and DeviceIoControl calls, answered by disks described as the simulated
// machine describes them. What the program reads, and the requests the disks receive, must
// be the same on both machines.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "disk/attributes.h"
#include "disk/descriptor.h"
#include "disk/device_path.h"
#include "disk/report.h"
#include "disk/report_queries.h"
#include "disk/set_attributes.h"
#include "driver_disks.h"
#include "platform/error.h"
#include "platform/handle.h"
#include "platform/records.h"
#include "support/answer_rule_cases.h"
#include "support/fake_view.h"
#include "tools/testdisk/disk_image.h"
#include "tools/testdisk/protocol.h"
#include "ui/disk_list.h"

namespace sb::test {
namespace {

using ::testing::ElementsAreArray;

constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;
const std::array<std::uint8_t, 16> kDiskId = {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE,
                                              0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

std::string Hex(ConstBytes bytes) {
  return testdisk::HexBytes(bytes);
}

// Everything the program's queries read from one disk, as lines that name each reading.
std::vector<std::string> Readings(Platform& platform, std::uint32_t number) {
  const Text path = DiskPath(DecUnsigned(number));
  std::vector<std::string> lines;
  TGetDiskAttributes attributes;
  lines.push_back(GetDiskAttributes(platform, path, attributes)
                      ? "attributes " + std::to_string(attributes.Attributes)
                      : "attributes fail");
  lines.push_back("attribute text '" +
                  A(DiskAttributesText(platform, AsciiToText(std::to_string(number)))) + "'");
  {
    const UniqueHandle disk = OpenExisting(platform, path, win::kGenericRead, kShareReadWrite);
    lines.push_back("length " + std::to_string(GetDiskLength(platform, disk.get())));
    PredictFailureRecord predict{};
    lines.push_back(GetPredictFailure(platform, disk.get(), predict) ? "predict " + Hex(predict)
                                                                     : "predict fail");
  }
  TDisk_Property property;
  lines.push_back(GetDiskProperty(platform, path, property)
                      ? "property " + A(property.vendor_id) + "|" + A(property.product_id) + "|" +
                            A(property.product_revision) + "|" + A(property.serial_number) + "|" +
                            (property.removable ? "removable" : "fixed") + "|" +
                            A(property.bus_type)
                      : "property fail");
  GeometryBuffer geometry{};
  lines.push_back(GetDriveGeometry(platform, static_cast<std::uint8_t>(number), geometry)
                      ? "geometry " + Hex(geometry)
                      : "geometry fail");
  LayoutBuffer layout{};
  try {
    GetDriveLayout(platform, path, layout);
    lines.push_back("layout " + Hex(layout));
  } catch (const Error&) {
    lines.push_back("layout raises");
  }
  CacheInformation cache{};
  lines.push_back(GetCacheInfo(platform, path, cache) ? "cache " + Hex(cache) : "cache fail");
  FakeView::PropertiesWindow report;
  DiskInfoReport(platform, path, report);
  for (const auto& line : report.lines) lines.push_back("report " + line);
  return lines;
}

struct DiskCase {
  const char* name;
  sim::Disk disk;
};

std::vector<DiskCase> DiskCases() {
  sim::Disk silent;
  silent.answers_length = false;
  silent.answers_attributes = false;
  sim::Disk hostile = ListDisk("Hostile", 8 * kGiB, 0, kSata, sim::LayoutBytes(2, 0));
  hostile.descriptor =
      Bytes{0x28, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0x30, 0, 0, 0};
  hostile.geometry = Bytes(10, 0x7F);
  hostile.cache = Bytes(30, 0x01);
  hostile.predict_failure = Bytes{1, 0, 0};
  sim::Disk failing = ListDisk("Failing", 64 * kGiB, 0, kSata, sim::MbrLayoutBytes(4, 7));
  failing.failing_requests = {{ioctl::kDiskGetLengthInfo, 21},
                              {ioctl::kDiskGetCacheInformation, 1},
                              {ioctl::kDiskGetDriveLayoutEx, 5},
                              {ioctl::kStoragePredictFailure, 31}};
  sim::Disk usb = ListDisk("Stick", 16 * kGiB, 3, kSata, sim::GptLayoutBytes(4, kDiskId));
  usb.descriptor =
      sim::DescriptorBytes({.vendor = "", .product = "Stick", .removable = 1, .bus_type = 7});
  sim::Disk predicting = ListDisk("Tired", 2 * kGiB, 4, kSata, sim::LayoutBytes(2, 0));
  predicting.predict_failure = sim::PredictFailureBytes(1);
  predicting.cache = sim::CacheBytes(false, true);
  return {
      {"mbr", ListDisk("Data", 500 * kGiB, 0, kSata, sim::MbrLayoutBytes(4, 439041101))},
      {"gpt", usb},
      {"gpt with 128 entries",
       ListDisk("Big", 4000 * kGiB, 2, kSata, sim::GptLayoutBytes(128, kDiskId))},
      {"raw, predicting a failure", predicting},
      {"answering nothing", silent},
      {"hostile answers", hostile},
      {"failing requests", failing},
  };
}

TEST_F(DriverDisks, EveryQueryReadsWhatTheSimulatedMachineReads) {
  const std::vector<DiskCase> cases = DiskCases();
  for (std::size_t i = 0; i < cases.size(); ++i)
    AddDisk(static_cast<std::uint32_t>(i + 1), cases[i].disk);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const auto number = static_cast<std::uint32_t>(i + 1);
    const std::vector<std::string> real = Readings(real_, number);
    EXPECT_THAT(real, ElementsAreArray(Readings(simulated_, number)));
    EXPECT_THAT(DriverRequests(), ElementsAreArray(SimulatedRequests()));
  }
}

// Some readings must hold on their own, not only agree: the two machines could be wrong alike.
TEST_F(DriverDisks, TheRealPathReadsTheDescribedDisk) {
  AddDisk(7, ListDisk("Data", 500 * kGiB, 2, kSata, sim::MbrLayoutBytes(4, 439041101)));
  FakeView::PropertiesWindow report;
  DiskInfoReport(real_, DiskPath(DecUnsigned(7)), report);
  EXPECT_THAT(report.lines, ::testing::IsSupersetOf({"Size: 536870912000 bytes, 512000 Mbytes",
                                                     "ProductID: Data", "BusType:Sata"}));
  EXPECT_EQ(A(DiskAttributesText(real_, SB_T("7"))), "Online Read-Only ");
}

TEST_F(DriverDisks, TheListOfADiskSetWithGaps) {
  const std::uint32_t numbers[] = {2, 3, 7, 12};
  for (std::uint32_t number : numbers) {
    AddDisk(number, ListDisk("Disk" + std::to_string(number), number * kGiB, number % 4, kSata,
                             sim::MbrLayoutBytes(4, number)));
  }
  FakeView real_view;
  _Enum_Drives_lv(real_, real_view);
  FakeView simulated_view;
  _Enum_Drives_lv(simulated_, simulated_view);
  // Wine's own disk 0 is always there; the simulated machine has none.
  std::vector<std::string> real_rows = real_view.RowTexts();
  ASSERT_FALSE(real_rows.empty());
  EXPECT_THAT(real_rows.front(), ::testing::StartsWith("0|DISK|"));
  real_rows.erase(real_rows.begin());
  EXPECT_THAT(real_rows, ElementsAreArray(simulated_view.RowTexts()));
  EXPECT_THAT(real_rows, ElementsAreArray({"2|DISK|Disk2|2048|Online Read-Only ",
                                           "3|DISK|Disk3|3072|Offline Read-Only ",
                                           "7|DISK|Disk7|7168|Offline Read-Only ",
                                           "12|DISK|Disk12|12288|Online Read-Write "}));
  EXPECT_THAT(DriverRequests(), ElementsAreArray(SimulatedRequests()));
}

// The block each command's change sends, byte for byte as the disk received it: version
// 40, Persist 0, the attributes and the mask, every other byte 0.
TEST_F(DriverDisks, TheAttributeChangeBlockAsTheDiskReceivedIt) {
  struct Change {
    const char* command;
    std::uint64_t attributes, mask, word_before, word_after;
  };
  const Change changes[] = {{"Offline", 1, 1, 0, 1},
                            {"Online", 0, 1, 3, 2},
                            {"Read-Only", 2, 2, 1, 3},
                            {"Read-Write", 0, 2, 6, 4}};
  for (const Change& change : changes) {
    SCOPED_TRACE(change.command);
    ASSERT_TRUE(control_.Reset());
    AddDisk(5, ListDisk("Data", kGiB, change.word_before, kSata, sim::MbrLayoutBytes(4, 1)));
    ASSERT_TRUE(SetDiskAttributes(real_, DiskPath(DecUnsigned(5)), change.attributes, change.mask));
    ASSERT_TRUE(
        SetDiskAttributes(simulated_, DiskPath(DecUnsigned(5)), change.attributes, change.mask));
    const auto log = LogSinceMark();
    ASSERT_EQ(log.size(), 1u);
    Bytes block(rec::kSetDiskAttributesSize, 0);
    ByteWriter writer(block);
    writer.U32(rec::kSetDiskAttributesVersion, 40);
    writer.U64(rec::kSetDiskAttributesAttributes, change.attributes);
    writer.U64(rec::kSetDiskAttributesMask, change.mask);
    EXPECT_EQ(log[0].disk, 5u);
    EXPECT_EQ(log[0].code, ioctl::kDiskSetDiskAttributes);
    EXPECT_EQ(log[0].input_length, 40u);
    EXPECT_EQ(Hex(log[0].input), Hex(block));
    EXPECT_EQ(log[0].output_length, 0u);
    EXPECT_EQ(log[0].status, testdisk::kStatusSuccess);
    TGetDiskAttributes real_word, simulated_word;
    ASSERT_TRUE(GetDiskAttributes(real_, DiskPath(DecUnsigned(5)), real_word));
    ASSERT_TRUE(GetDiskAttributes(simulated_, DiskPath(DecUnsigned(5)), simulated_word));
    EXPECT_EQ(real_word.Attributes, change.word_after);
    EXPECT_EQ(simulated_word.Attributes, change.word_after);
  }
}

// Wine checks the access a control code needs against the handle before the disk sees the
// request; the program's own opens carry what their requests need.
TEST_F(DriverDisks, AnAttributeChangeOnAReadOnlyHandleIsRefusedBeforeTheDisk) {
  AddDisk(4, ListDisk("Data", kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1)));
  const UniqueHandle disk =
      OpenExisting(real_, DiskPath(DecUnsigned(4)), win::kGenericRead, kShareReadWrite);
  ASSERT_TRUE(disk.valid());
  Bytes block(rec::kSetDiskAttributesSize, 0);
  ByteWriter(block).U32(rec::kSetDiskAttributesVersion, 40);
  ByteWriter(block).U64(rec::kSetDiskAttributesMask, 1);
  EXPECT_FALSE(real_.DeviceIoControl(disk.get(), ioctl::kDiskSetDiskAttributes, block, {}));
  EXPECT_EQ(real_.GetLastError(), win::kErrorAccessDenied);
  EXPECT_TRUE(LogSinceMark().empty());
}

TEST_F(DriverDisks, TheSystemsOpensCarryTheAccessTheirRequestsNeed) {
  AddDisk(9, ListDisk("Data", kGiB, 0, kSata, sim::GptLayoutBytes(4, kDiskId)));
  FakeView list;
  _Enum_Drives_lv(real_, list);
  FakeView::PropertiesWindow report;
  DiskInfoReport(real_, DiskPath(DecUnsigned(9)), report);
  for (std::uint64_t mask : {1u, 2u}) {
    ASSERT_TRUE(SetDiskAttributes(real_, DiskPath(DecUnsigned(9)), mask, mask));
    ASSERT_TRUE(SetDiskAttributes(real_, DiskPath(DecUnsigned(9)), 0, mask));
  }
  std::vector<std::uint32_t> codes;
  for (const auto& entry : LogSinceMark()) {
    EXPECT_EQ(entry.status, testdisk::kStatusSuccess) << std::hex << entry.code;
    codes.push_back(entry.code);
  }
  // Every request the program sends reached the disk: none was refused for the handle's access.
  EXPECT_THAT(codes, ::testing::IsSupersetOf(
                         {ioctl::kDiskGetLengthInfo, ioctl::kStorageQueryProperty,
                          ioctl::kDiskGetDiskAttributes, ioctl::kDiskGetDriveGeometryEx,
                          ioctl::kDiskGetDriveLayoutEx, ioctl::kDiskGetCacheInformation,
                          ioctl::kStoragePredictFailure, ioctl::kDiskSetDiskAttributes}));
}

// Each failure a machine gives as an error code reaches the program as that code through
// the status the driver answers with.
TEST_F(DriverDisks, FailuresReachTheProgramAsTheirErrorCodes) {
  for (const testdisk::ErrorStatus& entry : testdisk::kStatusOfError) {
    SCOPED_TRACE("error " + std::to_string(entry.error));
    ASSERT_TRUE(control_.Reset());
    sim::Disk disk = ListDisk("Data", kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1));
    disk.failing_requests[ioctl::kDiskGetCacheInformation] = entry.error;
    AddDisk(6, disk);
    for (Platform* platform :
         {static_cast<Platform*>(&real_), static_cast<Platform*>(&simulated_)}) {
      CacheInformation cache{};
      platform->SetLastError(0);
      EXPECT_FALSE(GetCacheInfo(*platform, DiskPath(DecUnsigned(6)), cache));
    }
    const UniqueHandle handle =
        OpenExisting(real_, DiskPath(DecUnsigned(6)), win::kGenericRead, kShareReadWrite);
    CacheInformation cache{};
    EXPECT_FALSE(real_.DeviceIoControl(handle.get(), ioctl::kDiskGetCacheInformation, {}, cache));
    EXPECT_EQ(real_.GetLastError(), entry.error);
    const auto log = LogSinceMark();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().status, entry.status);
  }
}

// Output buffers too small for an answer, as a Windows disk driver treats them.
TEST_F(DriverDisks, OutputBuffersTooSmall) {
  sim::Disk disk = ListDisk("Buffers", kGiB, 0, kSata, sim::GptLayoutBytes(128, kDiskId));
  AddDisk(11, disk);
  struct Case {
    const char* what;
    std::uint32_t code;
    std::size_t output;
    bool ok;
    std::uint32_t error;
    std::size_t bytes;  // of the answer that arrive
  };
  const Bytes query(rec::kStoragePropertyQuerySize, 0);
  const Case cases[] = {
      {"the report's layout buffer for 128 GPT entries", ioctl::kDiskGetDriveLayoutEx,
       rec::kLayoutBufferSize, false, win::kErrorInsufficientBuffer, 0},
      {"a layout buffer without the header", ioctl::kDiskGetDriveLayoutEx, 47, false,
       win::kErrorInsufficientBuffer, 0},
      {"a whole 128-entry layout", ioctl::kDiskGetDriveLayoutEx, 48 + 128 * 144, true, 0,
       48 + 128 * 144},
      {"the descriptor header alone", ioctl::kStorageQueryProperty, 8, true, 0, 8},
      {"less than the descriptor header", ioctl::kStorageQueryProperty, 7, false,
       win::kErrorInsufficientBuffer, 0},
      {"the geometry without DiskSize", ioctl::kDiskGetDriveGeometryEx, 31, false,
       win::kErrorInsufficientBuffer, 0},
      {"the geometry to DiskSize", ioctl::kDiskGetDriveGeometryEx, 32, true, 0, 32},
      {"a length of 7 bytes", ioctl::kDiskGetLengthInfo, 7, false, win::kErrorInsufficientBuffer,
       0},
      {"attributes of 15 bytes", ioctl::kDiskGetDiskAttributes, 15, false,
       win::kErrorInsufficientBuffer, 0},
      {"cache of 23 bytes", ioctl::kDiskGetCacheInformation, 23, false,
       win::kErrorInsufficientBuffer, 0},
      {"failure prediction of 515 bytes", ioctl::kStoragePredictFailure, 515, false,
       win::kErrorInsufficientBuffer, 0},
  };
  const UniqueHandle handle =
      OpenExisting(real_, DiskPath(DecUnsigned(11)), win::kGenericRead, kShareReadWrite);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes output(c.output, 0xCC);
    const ConstBytes input =
        c.code == ioctl::kStorageQueryProperty ? ConstBytes(query) : ConstBytes();
    real_.SetLastError(0);
    EXPECT_EQ(real_.DeviceIoControl(handle.get(), c.code, input, output), c.ok);
    if (!c.ok) {
      EXPECT_EQ(real_.GetLastError(), c.error);
    }
    const auto log = LogSinceMark();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].returned, c.bytes);
    EXPECT_EQ(log[0].output_length, c.output);
  }
}

// The requests at the edges of Windows' rules get the same answer from the driver as from
// the simulated machine, and the one the rule gives.
TEST_F(DriverDisks, BothMachinesFollowTheSameRules) {
  for (const test::RuleCase& c : test::kRuleCases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(control_.Reset());
    simulated_.RemoveDisk(12);
    AddDisk(12, test::RuleDiskOf(c.disk));
    for (Platform* platform :
         {static_cast<Platform*>(&real_), static_cast<Platform*>(&simulated_)}) {
      const UniqueHandle handle =
          OpenExisting(*platform, DiskPath(DecUnsigned(12)), win::kGenericRead, kShareReadWrite);
      ASSERT_TRUE(handle.valid());
      const Bytes input = test::RuleInput(c);
      Bytes output(c.output, 0);
      platform->SetLastError(0);
      const bool ok = platform->DeviceIoControl(handle.get(), c.code, input, output);
      EXPECT_EQ(ok ? 0u : platform->GetLastError(), c.error)
          << (platform == &real_ ? "the driver" : "the simulated machine");
    }
  }
}

TEST_F(DriverDisks, UnknownRequestsAreRefused) {
  AddDisk(13, ListDisk("Data", kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1)));
  const UniqueHandle handle = OpenExisting(real_, DiskPath(DecUnsigned(13)),
                                           win::kGenericRead | win::kGenericWrite, kShareReadWrite);
  Bytes output(64, 0);
  // IOCTL_DISK_BASE, function 0xFFB, buffered, any access: no disk request of the program.
  EXPECT_FALSE(real_.DeviceIoControl(handle.get(), 0x0007FFEC, {}, output));
  EXPECT_EQ(real_.GetLastError(), win::kErrorInvalidFunction);
  const auto log = LogSinceMark();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].status, testdisk::kStatusInvalidDeviceRequest);
}

// Disks come and go at run time, and the driver gives back every pool block it took.
TEST_F(DriverDisks, DisksComeAndGoWithoutLeakingPool) {
  testdisk::DriverStats empty;
  ASSERT_TRUE(control_.ReadStats(empty));
  EXPECT_EQ(empty.disks, 0u);
  for (std::uint32_t number = testdisk::kFirstDisk; number <= testdisk::kLastDisk; ++number) {
    AddDisk(number, ListDisk("Data", kGiB, 0, kSata, sim::GptLayoutBytes(4, kDiskId)));
  }
  testdisk::DriverStats full;
  ASSERT_TRUE(control_.ReadStats(full));
  EXPECT_EQ(full.disks, 15u);
  EXPECT_EQ(full.allocations, empty.allocations + 15);
  FakeView list;
  _Enum_Drives_lv(real_, list);
  EXPECT_EQ(list.rows.size(), 16u);

  std::vector<std::string> warnings;
  EXPECT_FALSE(control_.AddDisk(testdisk::DescribeDisk(3, sim::Disk{}, warnings)));
  EXPECT_TRUE(control_.RemoveDisk(3));
  EXPECT_FALSE(control_.RemoveDisk(3));
  const UniqueHandle gone =
      OpenExisting(real_, DiskPath(DecUnsigned(3)), win::kGenericRead, kShareReadWrite);
  EXPECT_FALSE(gone.valid());
  EXPECT_EQ(real_.GetLastError(), win::kErrorFileNotFound);

  ASSERT_TRUE(control_.Reset());
  testdisk::DriverStats after;
  ASSERT_TRUE(control_.ReadStats(after));
  EXPECT_EQ(after.disks, 0u);
  EXPECT_EQ(after.allocations, empty.allocations);
  EXPECT_EQ(after.log_entries, 0u);
}

// A request on a handle whose disk was removed fails instead of reaching a later disk of
// the same number.
TEST_F(DriverDisks, AHandleOutlivesItsDisk) {
  AddDisk(8, ListDisk("First", kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1)));
  const UniqueHandle handle =
      OpenExisting(real_, DiskPath(DecUnsigned(8)), win::kGenericRead, kShareReadWrite);
  ASSERT_TRUE(handle.valid());
  ASSERT_TRUE(control_.RemoveDisk(8));
  AddDisk(8, ListDisk("Second", 2 * kGiB, 0, kSata, sim::MbrLayoutBytes(4, 1)));
  EXPECT_EQ(GetDiskLength(real_, handle.get()), 0);
}

}  // namespace
}  // namespace sb::test
