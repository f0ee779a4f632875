// How many platform calls the disk list and the disk report make, by operation and control
// code. Counts only: nothing here is timed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "disk/report.h"
#include "platform/sim/sim_records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"
#include "ui/disk_list.h"

namespace sb {
namespace {

using test::FakeView;
using test::kMiB;
using test::ListDisk;

// A call's key: its operation, and for a control request its code.
using Key = std::pair<std::string, std::uint32_t>;

std::map<Key, int> CountCalls(const std::vector<sim::Call>& calls) {
  std::map<Key, int> counts;
  for (const auto& call : calls) {
    ++counts[{call.op, call.op == "DeviceIoControl" ? call.code : 0u}];
  }
  return counts;
}

Key Open() {
  return {"CreateFile", 0};
}
Key Close() {
  return {"CloseHandle", 0};
}
Key Request(std::uint32_t code) {
  return {"DeviceIoControl", code};
}

// A disk that answers every query the report makes.
sim::Disk ReportDisk() {
  sim::Disk disk = ListDisk("Report Disk", 512 * kMiB);
  disk.geometry = sim::GeometryBytes(65, 12, 255, 63, 512, 512 * kMiB);
  disk.layout = sim::MbrLayoutBytes(2, 0x12345678);
  disk.cache = sim::CacheBytes(true, false);
  disk.predict_failure = sim::PredictFailureBytes(0);
  return disk;
}

class CallCountTest : public test::MainFormTest<> {};

TEST_F(CallCountTest, ListFillProbesSixteenDisksAndQueriesEachPresentOneOnce) {
  // Present: 0, 3, 7, 15; absent: the others.
  const std::vector<std::uint32_t> present = {0, 3, 7, 15};
  for (const auto number : present) machine.AddDisk(number, ListDisk("Disk", 100 * kMiB));
  machine.ClearCalls();

  _Enum_Drives_lv(machine, view);

  ASSERT_EQ(view.rows.size(), present.size());
  const auto& calls = machine.calls();

  // Exactly 16 probes, one per number, in lower case, with the probe's arguments.
  int probes = 0;
  for (const auto& call : calls) {
    if (call.op != "CreateFile") continue;
    if (call.target.rfind("\\\\.\\physicaldrive", 0) != 0) continue;
    ++probes;
    EXPECT_EQ(call.access, win::kGenericRead);
    EXPECT_EQ(call.share, win::kFileShareRead | win::kFileShareWrite);
    EXPECT_EQ(call.flags, win::kFileAttributeNormal);
  }
  EXPECT_EQ(probes, kDiskProbeCount);

  // Per present disk: probe, length, close; descriptor open, request, close; attribute
  // open, request, close. Per absent disk: the failing probe only.
  const int n = static_cast<int>(present.size());
  const std::map<Key, int> expected = {
      {Open(), kDiskProbeCount + 2 * n},           {Close(), 3 * n},
      {Request(ioctl::kDiskGetLengthInfo), n},     {Request(ioctl::kStorageQueryProperty), n},
      {Request(ioctl::kDiskGetDiskAttributes), n},
  };
  EXPECT_EQ(CountCalls(calls), expected);
  // The probe of a present disk is followed by 8 calls: length, close; descriptor open,
  // request, close; attribute open, request, close.
  EXPECT_EQ(calls.size(), static_cast<std::size_t>(kDiskProbeCount + 8 * n));

  // Only the probes of absent disks fail, and every handle opened is closed exactly once.
  int failed_opens = 0;
  std::map<std::string, int> closes;
  std::vector<std::string> opened;
  for (const auto& call : calls) {
    if (call.op == "CreateFile" && !call.ok) ++failed_opens;
    if (call.op == "CreateFile" && call.ok)
      opened.push_back(call.target.substr(call.target.rfind(' ') + 1));
    if (call.op == "CloseHandle") ++closes[call.target];
  }
  EXPECT_EQ(failed_opens, kDiskProbeCount - n);
  ASSERT_EQ(opened.size(), static_cast<std::size_t>(3 * n));
  for (const auto& name : opened) EXPECT_EQ(closes[name], 1) << name;

  // The request sizes of the list's queries.
  for (const auto& call : calls) {
    if (call.op != "DeviceIoControl") continue;
    if (call.code == ioctl::kDiskGetLengthInfo) {
      EXPECT_EQ(call.in_size, 0u);
      EXPECT_EQ(call.out_size, 8u);
    } else if (call.code == ioctl::kStorageQueryProperty) {
      EXPECT_EQ(call.in_size, 12u);
      EXPECT_EQ(call.out_size, 4096u);
    } else if (call.code == ioctl::kDiskGetDiskAttributes) {
      EXPECT_EQ(call.in_size, 0u);
      EXPECT_EQ(call.out_size, 16u);
    }
  }
}

TEST_F(CallCountTest, ListFillWithNoDisksMakesOnlyTheSixteenProbes) {
  machine.ClearCalls();
  _Enum_Drives_lv(machine, view);
  EXPECT_TRUE(view.rows.empty());
  const std::map<Key, int> expected = {{Open(), kDiskProbeCount}};
  EXPECT_EQ(CountCalls(machine.calls()), expected);
}

TEST_F(CallCountTest, ReportMakesExactlyItsQueries) {
  machine.AddDisk(0, ReportDisk());
  machine.AddDisk(1, ListDisk("Other", kMiB));
  machine.ClearCalls();

  FakeView::PropertiesWindow lines;
  DiskInfoReport(machine, SB_T("\\\\.\\PhysicalDrive0"), lines);
  ASSERT_GT(lines.lines.size(), 1u);

  // Geometry, the report's own handle (length and failure prediction), layout, descriptor,
  // cache and attributes: six opens, six requests, six closes.
  const std::map<Key, int> expected = {
      {Open(), 6},
      {Close(), 6},
      {Request(ioctl::kDiskGetDriveGeometryEx), 1},
      {Request(ioctl::kDiskGetLengthInfo), 1},
      {Request(ioctl::kDiskGetDriveLayoutEx), 1},
      {Request(ioctl::kStoragePredictFailure), 1},
      {Request(ioctl::kStorageQueryProperty), 1},
      {Request(ioctl::kDiskGetCacheInformation), 1},
      {Request(ioctl::kDiskGetDiskAttributes), 1},
  };
  EXPECT_EQ(CountCalls(machine.calls()), expected);

  // Every call names disk 0 only; the geometry open asks for no access.
  for (const auto& call : machine.calls()) {
    if (call.op != "CreateFile") continue;
    EXPECT_EQ(call.target.rfind("\\\\.\\PhysicalDrive0 ", 0), 0u) << call.ToString();
    EXPECT_TRUE(call.ok) << call.ToString();
  }
  const auto opens = machine.CallsOf("CreateFile");
  ASSERT_EQ(opens.size(), 6u);
  EXPECT_EQ(opens[0].access, 0u);
  EXPECT_EQ(opens[2].share, win::kFileShareRead);  // the layout open
}

TEST_F(CallCountTest, ReportOfAnAbsentDiskStopsAfterTheGeometryOpen) {
  machine.ClearCalls();
  FakeView::PropertiesWindow lines;
  DiskInfoReport(machine, SB_T("\\\\.\\PhysicalDrive9"), lines);
  EXPECT_EQ(lines.lines, std::vector<std::string>{"->Drive Geometry"});
  const std::map<Key, int> expected = {{Open(), 1}};
  EXPECT_EQ(CountCalls(machine.calls()), expected);
}

}  // namespace
}  // namespace sb
