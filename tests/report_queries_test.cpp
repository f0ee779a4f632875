#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "disk/report_queries.h"
#include "platform/error.h"
#include "platform/handle.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"

namespace sb {
namespace {

using test::A;
using ::testing::ElementsAre;

// Every call as the log writes it, failed probes included.
std::vector<std::string> CallTexts(const sim::SimMachine& machine) {
  std::vector<std::string> texts;
  for (const auto& call : machine.calls()) texts.push_back(call.ToString());
  return texts;
}

class ReportQueriesTest : public test::MachineTest {};

TEST_F(ReportQueriesTest, DriveParamsCondenseTheGeometry) {
  const struct {
    const char* name;
    std::int64_t cylinders;
    std::uint32_t media_type;
    std::uint32_t heads;
    std::uint32_t sectors;
    std::uint32_t bytes;
    std::int64_t size;
    TDriveParams params;
  } cases[] = {
      {"unknown media",
       1024,
       0,
       255,
       63,
       512,
       8 * test::kMiB,
       {30, 0, 1024, 255, 63, 1024 * 255 * 63, 512, 8 * test::kMiB, 0}},
      {"removable media", 10, 11, 2, 18, 512, 1, {30, 4, 10, 2, 18, 360, 512, 1, 0}},
      {"fixed media", 10, 12, 2, 18, 512, 1, {30, 0, 10, 2, 18, 360, 512, 1, 0}},
      {"first floppy format", 10, 1, 2, 18, 512, 1, {30, 4, 10, 2, 18, 360, 512, 1, 0}},
      {"last removable format", 10, 22, 2, 18, 512, 1, {30, 4, 10, 2, 18, 360, 512, 1, 0}},
      {"tape", 10, 23, 2, 18, 512, 1, {30, 0, 10, 2, 18, 360, 512, 1, 0}},
      {"only the low 8 bits of the media type",
       10,
       0x10B,
       2,
       18,
       512,
       1,
       {30, 4, 10, 2, 18, 360, 512, 1, 0}},
      {"product wraps to 0",
       65536,
       12,
       256,
       256,
       4096,
       -1,
       {30, 0, 65536, 256, 256, 0, 4096, -1, 0}},
      {"product wraps modulo 2^32",
       65537,
       12,
       256,
       256,
       512,
       0,
       {30, 0, 65537, 256, 256, 65536, 512, 0, 0}},
      {"low 32 bits of the cylinders, low 16 of the sector size",
       0x100000005,
       12,
       1,
       1,
       0x12345,
       std::numeric_limits<std::int64_t>::max(),
       {30, 0, 5, 1, 1, 5, 0x2345, std::numeric_limits<std::int64_t>::max(), 0}},
  };
  std::uint8_t number = 0;
  for (const auto& c : cases) {
    machine.AddDisk(number,
                    sim::Disk{.geometry = sim::GeometryBytes(c.cylinders, c.media_type, c.heads,
                                                             c.sectors, c.bytes, c.size)});
    TDriveParams params;
    params.reserved = 77;
    EXPECT_TRUE(GetDriveParams(machine, number, params)) << c.name;
    EXPECT_EQ(params, c.params) << c.name;
    ++number;
  }
}

TEST_F(ReportQueriesTest, DriveGeometryOpensWithoutAccessRights) {
  machine.AddDisk(7, sim::Disk{.geometry = sim::GeometryBytes(1, 12, 1, 1, 512, 512)});
  GeometryBuffer geometry{};
  EXPECT_TRUE(GetDriveGeometry(machine, 7, geometry));
  EXPECT_EQ(Bytes(geometry.begin(), geometry.end()), *machine.disk(7)->geometry);
  EXPECT_THAT(
      CallTexts(machine),
      ElementsAre("CreateFile(\\\\.\\PhysicalDrive7 -> h1, access 0x00000000, share 3, "
                  "flags 0x00000000) ok",
                  "DeviceIoControl(h1, 0x000700A0, in 0, out 40) ok", "CloseHandle(h1) ok"));
}

TEST_F(ReportQueriesTest, FailingGeometryLeavesTheParamsUntouched) {
  machine.AddDisk(1, sim::Disk{});  // answers no geometry
  machine.AddDisk(2, sim::Disk{.open_error = win::kErrorAccessDenied,
                               .geometry = sim::GeometryBytes(1, 12, 1, 1, 512, 512)});
  const TDriveParams before{1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (std::uint8_t number : {0, 1, 2}) {
    TDriveParams params = before;
    EXPECT_FALSE(GetDriveParams(machine, number, params)) << int{number};
    EXPECT_EQ(params, before) << int{number};
  }
  // Only the disk that opened was asked.
  EXPECT_EQ(machine.CallsOf("DeviceIoControl").size(), 1u);
}

TEST_F(ReportQueriesTest, DriveLayoutReadsIntoTheWholeBuffer) {
  machine.AddDisk(0, sim::Disk{.layout = sim::MbrLayoutBytes(64, 0xCAFE)});
  LayoutBuffer layout{};
  EXPECT_TRUE(GetDriveLayout(machine, SB_T("\\\\.\\PhysicalDrive0"), layout));
  EXPECT_EQ(ByteReader(layout).U32(rec::kLayoutMbrSignature), 0xCAFEu);
  EXPECT_THAT(
      CallTexts(machine),
      ElementsAre("CreateFile(\\\\.\\PhysicalDrive0 -> h1, access 0x80000000, share 1, "
                  "flags 0x00000000) ok",
                  "DeviceIoControl(h1, 0x00070050, in 0, out 9264) ok", "CloseHandle(h1) ok"));
}

// A machine that notes which handles are open when a message text is looked up, and whose
// CloseHandle leaves an error of its own behind.
class WatchingMachine : public sim::SimMachine {
 public:
  Text FormatMessage(std::uint32_t code) override {
    open_at_lookup.push_back(OpenHandles().size());
    return SimMachine::FormatMessage(code);
  }
  bool CloseHandle(Handle handle) override {
    const bool ok = SimMachine::CloseHandle(handle);
    SetLastError(win::kErrorInvalidFunction);
    return ok;
  }
  std::vector<std::size_t> open_at_lookup;
};

TEST(DriveLayoutErrors, RaiseTheRequestsErrorAfterClosing) {
  WatchingMachine machine;
  machine.AddDisk(0, sim::Disk{.layout = sim::MbrLayoutBytes(65, 1)});  // needs 9408 bytes
  machine.AddDisk(1, sim::Disk{});                                      // no layout answer
  machine.AddDisk(2, sim::Disk{.open_error = win::kErrorAccessDenied});
  machine.AddDisk(3, sim::Disk{.failing_requests = {{ioctl::kDiskGetDriveLayoutEx, 1117}}});
  machine.AddDisk(4, sim::Disk{.failing_requests = {{ioctl::kDiskGetDriveLayoutEx, 1167}}});
  machine.set_message_text(1117,
                           "The request could not be performed because of an I/O device "
                           "error. . .\t\r\n");
  const std::pair<const Char*, const char*> cases[] = {
      {SB_T("\\\\.\\PhysicalDrive0"),
       "IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:The data area passed to a system call is too small"},
      {SB_T("\\\\.\\PhysicalDrive1"),
       "IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:The request is not supported"},
      {SB_T("\\\\.\\PhysicalDrive2"), "IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:Access is denied"},
      {SB_T("\\\\.\\PhysicalDrive9"),
       "IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:The system cannot find the file specified"},
      {SB_T("\\\\.\\PhysicalDrive3"),
       "IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:The request could not be performed because of an "
       "I/O device error"},
      {SB_T("\\\\.\\PhysicalDrive4"), "IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:"},  // no text
  };
  for (const auto& [path, message] : cases) {
    LayoutBuffer layout{};
    try {
      GetDriveLayout(machine, path, layout);
      ADD_FAILURE() << "no error for " << A(path);
    } catch (const Error& error) {
      EXPECT_EQ(A(error.message()), message);
    }
    EXPECT_TRUE(machine.OpenHandles().empty());
  }
  EXPECT_THAT(machine.open_at_lookup, ElementsAre(0u, 0u, 0u, 0u, 0u, 0u));
  // A refused open sends no request.
  EXPECT_EQ(machine.CallsOf("DeviceIoControl").size(), 4u);
}

TEST_F(ReportQueriesTest, CacheInfoFillsTheCallersRecord) {
  machine.AddDisk(0, sim::Disk{.cache = sim::CacheBytes(true, false)});
  machine.AddDisk(1, sim::Disk{});
  machine.AddDisk(
      2, sim::Disk{.open_error = win::kErrorAccessDenied, .cache = sim::CacheBytes(true, true)});
  CacheInformation cache{};
  EXPECT_TRUE(GetCacheInfo(machine, SB_T("\\\\.\\PhysicalDrive0"), cache));
  EXPECT_EQ(Bytes(cache.begin(), cache.end()), *machine.disk(0)->cache);
  EXPECT_FALSE(GetCacheInfo(machine, SB_T("\\\\.\\PhysicalDrive1"), cache));
  EXPECT_FALSE(GetCacheInfo(machine, SB_T("\\\\.\\PhysicalDrive2"), cache));
  EXPECT_THAT(
      CallTexts(machine),
      ElementsAre("CreateFile(\\\\.\\PhysicalDrive0 -> h1, access 0x80000000, share 3, "
                  "flags 0x00000000) ok",
                  "DeviceIoControl(h1, 0x000740D4, in 0, out 24) ok", "CloseHandle(h1) ok",
                  "CreateFile(\\\\.\\PhysicalDrive1 -> h2, access 0x80000000, share 3, "
                  "flags 0x00000000) ok",
                  "DeviceIoControl(h2, 0x000740D4, in 0, out 24) failed 50", "CloseHandle(h2) ok",
                  "CreateFile(\\\\.\\PhysicalDrive2, access 0x80000000, share 3, "
                  "flags 0x00000000) failed 5"));
}

TEST_F(ReportQueriesTest, PredictFailureZeroesTheRecordAndKeepsTheHandleOpen) {
  machine.AddDisk(0, sim::Disk{.predict_failure = sim::PredictFailureBytes(1)});
  machine.AddDisk(1, sim::Disk{});
  for (std::uint32_t number : {0u, 1u}) {
    UniqueHandle device(machine, machine.CreateFile(SB_T("\\\\.\\PhysicalDrive") + Dec(number),
                                                    win::kGenericRead, 3, win::kOpenExisting, 0));
    PredictFailureRecord record;
    record.fill(0xEE);
    const bool ok = GetPredictFailure(machine, device.get(), record);
    EXPECT_EQ(ok, number == 0);
    EXPECT_EQ(ByteReader(record).U32(rec::kPredictFailurePredictFailure), number == 0 ? 1u : 0u);
    EXPECT_EQ(record[rec::kPredictFailureSize - 1], 0u);  // the vendor data was zeroed too
    EXPECT_TRUE(device.valid());
    EXPECT_EQ(machine.OpenHandles().size(), 1u);
  }
  const auto requests = machine.CallsOf("DeviceIoControl");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].code, ioctl::kStoragePredictFailure);
  EXPECT_EQ(requests[0].out_size, 516u);

  PredictFailureRecord record;
  record.fill(0xEE);
  EXPECT_FALSE(GetPredictFailure(machine, kInvalidHandle, record));
  EXPECT_EQ(record, PredictFailureRecord{});
  EXPECT_EQ(machine.CallsOf("DeviceIoControl").size(), 2u);  // nothing sent on no handle
}

TEST(BoolText, NamesBothValues) {
  EXPECT_EQ(A(BoolText(true)), "True");
  EXPECT_EQ(A(BoolText(false)), "False");
}

TEST(SystemMessageText, DropsTrailingBlanksControlsAndPeriods) {
  sim::SimMachine machine;
  const std::pair<std::string, std::string> cases[] = {
      {"Access is denied.\r\n", "Access is denied"}, {"Version 1.2 failed", "Version 1.2 failed"},
      {"Stopped...\t. \x01\r\n", "Stopped"},         {" . \r\n", ""},
      {".net is missing", ".net is missing"},        {"", ""},
  };
  for (const auto& [raw, trimmed] : cases) {
    machine.set_message_text(5000, raw);
    EXPECT_EQ(A(SystemMessageText(machine, 5000)), trimmed) << raw;
  }
  EXPECT_EQ(A(SystemMessageText(machine, 5001)), "");  // Windows has no text for it
}

TEST(SystemMessageText, KeepsATrailingLetterAbove127) {
  sim::SimMachine machine;
  machine.set_message_text(5000, "Zugriff verweigert \xE9.\r\n");
  // A letter of the code page is not a control character, in either text width.
  EXPECT_EQ(SystemMessageText(machine, 5000).size(), 20u);
}

}  // namespace
}  // namespace sb
