// Every platform call of every user action fails in turn, with each of the usual errors:
// nothing escapes, no handle stays open, and the disk list comes back as it should.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/records.h"
#include "platform/sim/sim_records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "support/notices.h"
#include "support/scenario_fixture.h"
#include "ui/main_form.h"

namespace sb {
namespace {

using test::FakeView;
using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::uint32_t kErrors[] = {win::kErrorAccessDenied, win::kErrorFileNotFound,
                                     win::kErrorNotSupported, win::kErrorInsufficientBuffer,
                                     win::kErrorNotReady};
constexpr std::int64_t kGiB = 1024 * test::kMiB;

// The calls the machine's fault injection counts: those that can fail on Windows.
bool Counted(const sim::Call& call) {
  static const std::set<std::string> kOps = {"CreateFile",
                                             "DeviceIoControl",
                                             "FindFirstVolumeA",
                                             "FindNextVolumeA",
                                             "GetVolumePathNamesForVolumeNameA",
                                             "QueryDosDeviceW",
                                             "SetVolumeMountPointA",
                                             "DeleteVolumeMountPointA"};
  if (!kOps.contains(call.op)) return false;
  // A request on a handle that is not open fails before the fault is looked at.
  return call.target != "invalid";
}

std::vector<sim::Call> CountedCalls(const sim::SimMachine& machine) {
  std::vector<sim::Call> counted;
  for (const auto& call : machine.calls()) {
    if (Counted(call)) counted.push_back(call);
  }
  return counted;
}

sim::Disk FullDisk(const std::string& product, std::int64_t length, std::uint32_t media_type,
                   Bytes layout, std::uint64_t attributes = 0, std::uint32_t bus_type = 11) {
  sim::Disk disk = test::ListDisk(product, length, attributes, bus_type);
  disk.geometry = sim::GeometryBytes(length / (255LL * 63 * 512), media_type, 255, 63, 512, length);
  disk.layout = std::move(layout);
  disk.cache = sim::CacheBytes(true, false);
  disk.predict_failure = sim::PredictFailureBytes(0);
  return disk;
}

sim::Volume MakeVolume(int n, std::uint32_t disk, std::vector<std::string> mount_paths) {
  sim::Volume volume;
  volume.guid_name =
      "\\\\?\\Volume{5b1d0c6e-8f3a-4c2d-9e7b-00000000000" + std::to_string(n) + "}\\";
  volume.device_name = "\\Device\\HarddiskVolume" + std::to_string(n);
  volume.extents = {{disk, test::kMiB, 64 * test::kMiB}};
  volume.mount_paths = std::move(mount_paths);
  return volume;
}

// A system disk, a data disk with two mount paths on one volume, a stick, an offline disk,
// a read-only disk and a disk that answers nothing but its open; disk 4 is absent; a
// DVD drive's volume and a network drive's letter.
void BuildMachine(sim::SimMachine& machine) {
  machine.AddDisk(0, FullDisk("System SSD", 500 * kGiB, 12, sim::MbrLayoutBytes(4, 0x1A2B3C4D)));
  machine.AddDisk(1, FullDisk("Data HDD", 4000 * kGiB, 12, sim::GptLayoutBytes(3, {1, 2, 3})));
  machine.AddDisk(2, FullDisk("Stick", 32 * kGiB, 11, sim::MbrLayoutBytes(1, 0xC0FFEE), 0, 7));
  machine.AddDisk(3, FullDisk("Backup", 16000 * kGiB, 12, sim::GptLayoutBytes(2, {9}), 1));
  machine.AddDisk(5, FullDisk("Archive", 2000 * kGiB, 12, sim::LayoutBytes(2, 0), 2, 9));
  sim::Disk broken;
  broken.answers_length = false;
  broken.answers_attributes = false;
  machine.AddDisk(6, broken);

  machine.AddVolume(MakeVolume(1, 0, {"C:\\"}));
  machine.AddVolume(MakeVolume(2, 0, {}));
  machine.AddVolume(MakeVolume(3, 1, {"D:\\", "C:\\Data\\"}));
  machine.AddVolume(MakeVolume(4, 2, {"E:\\"}));
  machine.AddVolume(MakeVolume(5, 3, {}));
  machine.AddVolume(MakeVolume(6, 5, {"F:\\"}));
  sim::Volume dvd;
  dvd.guid_name = "\\\\?\\Volume{5b1d0c6e-8f3a-4c2d-9e7b-000000000009}\\";
  dvd.device_name = "\\Device\\CdRom0";
  dvd.mount_paths = {"R:\\"};
  machine.AddVolume(dvd);
  machine.ReserveLetter('Z');
  machine.set_message_text(win::kErrorNotSupported, "The request is not supported.\r\n");
}

struct World : test::MainFormScene<> {
  World() {
    BuildMachine(machine);
    view.on_process_messages = [this] { test::DeliverNotices(machine, form); };
  }
};

// Shows the window and selects the row at the given position, as the user would.
void ShowAndSelect(World& world, std::size_t row) {
  world.form.FormShow();
  world.view.Select(row);
  world.machine.TakeNotices();
  world.view.events.clear();
  world.view.messages.clear();
}

// The disk number a device path ends with.
int DiskOf(const std::string& path) {
  std::size_t start = path.size();
  while (start > 0 && std::isdigit(static_cast<unsigned char>(path[start - 1]))) --start;
  return start == path.size() ? -1 : std::stoi(path.substr(start));
}

// The rows a refill shows when the given call of it (counted calls, 0-based) fails: a
// failing probe drops its disk's row, a failing length shows size 0, a failing descriptor
// an empty name, failing attributes an empty attribute text.
std::vector<std::string> RowsWithFailure(const std::vector<FakeView::Row>& rows,
                                         const std::vector<sim::Call>& calls, std::size_t failed) {
  int disk = -1;
  enum { kNone, kProbe, kLength, kName, kAttributes } effect = kNone;
  for (std::size_t i = 0; i <= failed && i < calls.size(); ++i) {
    const sim::Call& call = calls[i];
    if (call.op == "CreateFile") {
      disk = DiskOf(call.target.substr(0, call.target.find(' ')));
      if (call.target.find("physicaldrive") != std::string::npos) {
        effect = kProbe;
      } else if (i + 1 < calls.size() && calls[i + 1].code == ioctl::kStorageQueryProperty) {
        effect = kName;
      } else {
        effect = kAttributes;
      }
    } else if (call.op == "DeviceIoControl") {
      if (call.code == ioctl::kDiskGetLengthInfo) effect = kLength;
      if (call.code == ioctl::kStorageQueryProperty) effect = kName;
      if (call.code == ioctl::kDiskGetDiskAttributes) effect = kAttributes;
    } else {
      effect = kNone;
    }
  }
  std::vector<std::string> texts;
  for (FakeView::Row row : rows) {
    if (std::to_string(disk) == row.caption) {
      if (effect == kProbe) continue;
      if (effect == kName) row.subitems.at(1).clear();
      if (effect == kLength) row.subitems.at(2) = "0";
      if (effect == kAttributes) row.subitems.at(3).clear();
    }
    std::string text = row.caption;
    for (const auto& item : row.subitems) text += "|" + item;
    texts.push_back(text);
  }
  return texts;
}

// The texts of one disk-state command.
struct CommandWords {
  std::string ok;
  std::string failed;
  // Offline and Online go on after a refused change: pause, refresh and volumes. Read-Only
  // and Read-Write stop at once.
  bool goes_on_after_refusal;
};

// The first open for writing and the request on its handle: the command's own change.
bool IsOwnChange(const std::vector<sim::Call>& calls, std::size_t failed) {
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].op == "CreateFile" && (calls[i].access & win::kGenericWrite) &&
        calls[i].target.find("PhysicalDrive") != std::string::npos) {
      return failed == i || failed == i + 1;
    }
  }
  return false;
}

struct Action {
  std::string name;
  std::function<void(World&)> prepare;
  std::function<void(World&)> run;
  // Whether the action may change the machine (so the rows after it may differ).
  bool changes_disks = false;
  // Checks of what the user sees when the given counted call (0-based) failed.
  std::function<void(World&, const World& baseline, const std::vector<sim::Call>& calls,
                     std::size_t failed)>
      check;
};

void CheckRefill(World& world, const World& baseline, const std::vector<sim::Call>& calls,
                 std::size_t failed) {
  EXPECT_EQ(world.view.RowTexts(), RowsWithFailure(baseline.view.rows, calls, failed));
  EXPECT_THAT(world.view.messages, IsEmpty());
}

std::function<void(World&, const World&, const std::vector<sim::Call>&, std::size_t)> CheckCommand(
    CommandWords words) {
  return
      [words](World& world, const World&, const std::vector<sim::Call>& calls, std::size_t failed) {
        if (IsOwnChange(calls, failed)) {
          EXPECT_THAT(world.view.messages, Contains(words.failed));
          EXPECT_THAT(world.view.events, Not(Contains("status: " + words.ok)));
          if (words.goes_on_after_refusal) {
            EXPECT_THAT(world.view.events, Contains("refresh"));
            EXPECT_FALSE(world.machine.CallsOf("FindFirstVolumeA").empty());
          } else {
            EXPECT_THAT(world.view.events, Not(Contains("refresh")));
            EXPECT_TRUE(world.machine.CallsOf("Sleep").empty());
          }
        } else {
          EXPECT_THAT(world.view.messages, Not(Contains(words.failed)));
          EXPECT_THAT(world.view.events, Contains("status: " + words.ok));
        }
      };
}

void CheckProperties(World& world, const World&, const std::vector<sim::Call>& calls,
                     std::size_t failed) {
  ASSERT_EQ(world.view.properties.size(), 1u);
  const auto& lines = world.view.properties.front()->lines;
  if (failed < 2) {
    // The geometry's open or request: the report is its first line alone.
    EXPECT_THAT(lines, ::testing::ElementsAre("->Drive Geometry"));
    return;
  }
  const bool layout_request =
      calls[failed].op == "DeviceIoControl" && calls[failed].code == ioctl::kDiskGetDriveLayoutEx;
  const bool layout_open = failed + 1 < calls.size() && calls[failed].op == "CreateFile" &&
                           calls[failed + 1].code == ioctl::kDiskGetDriveLayoutEx;
  if (layout_request || layout_open) {
    EXPECT_THAT(lines, Contains("->Drive Layout Error!"));
  }
  EXPECT_THAT(lines, Contains("->Storage Property"));
}

std::vector<Action> Actions() {
  std::vector<Action> actions;
  actions.push_back(
      {"start", [](World&) {}, [](World& w) { w.form.FormShow(); }, false, CheckRefill});
  actions.push_back({"refresh", [](World& w) { ShowAndSelect(w, 2); },
                     [](World& w) { w.form.Refresh1Click(); }, false, CheckRefill});
  actions.push_back({"offline", [](World& w) { ShowAndSelect(w, 1); },
                     [](World& w) { w.form.Button2Click(); }, true,
                     CheckCommand({"IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_OFFLINE Ok",
                                   "IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_OFFLINE failed", true})});
  actions.push_back({"online", [](World& w) { ShowAndSelect(w, 3); },
                     [](World& w) { w.form.Button3Click(); }, true,
                     CheckCommand({"IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_ONLINE Ok",
                                   "IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_ONLINE failed", true})});
  actions.push_back({"read-only", [](World& w) { ShowAndSelect(w, 1); },
                     [](World& w) { w.form.Button4Click(); }, true,
                     CheckCommand({"IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY Ok",
                                   "IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY failed", false})});
  actions.push_back({"read-write", [](World& w) { ShowAndSelect(w, 4); },
                     [](World& w) { w.form.Button5Click(); }, true,
                     CheckCommand({"IOCTL_DISK_SET_DISK_ATTRIBUTES WRITE Ok",
                                   "IOCTL_DISK_SET_DISK_ATTRIBUTES WRITE failed", false})});
  actions.push_back({"properties", [](World& w) { ShowAndSelect(w, 0); },
                     [](World& w) { w.form.ShowProperties(); }, false, CheckProperties});
  actions.push_back(
      {"volume notice",
       [](World& w) {
         ShowAndSelect(w, 0);
         w.machine.AddDisk(7,
                           FullDisk("New Stick", 64 * kGiB, 11, sim::MbrLayoutBytes(1, 7), 0, 7));
         w.machine.ArriveVolume(MakeVolume(7, 7, {"G:\\"}));
         w.machine.TakeNotices();
       },
       [](World& w) { w.form.WMDeviceChange(win::kDbtDeviceArrival, test::VolumeNotice(1u << 6)); },
       false,
       [](World& w, const World& baseline, const std::vector<sim::Call>& calls,
          std::size_t failed) {
         EXPECT_EQ(w.view.status, baseline.view.status);
         CheckRefill(w, baseline, calls, failed);
       }});
  return actions;
}

// The rows a fresh main window lists on the machine as it is now.
std::vector<std::string> FreshRows(sim::SimMachine& machine) {
  FakeView view;
  VolumeTable table;
  MainForm form(machine, view, table);
  form.RefreshDiskList();
  return view.RowTexts();
}

// The rows without their attribute texts, which a command may legitimately change.
std::vector<std::string> Identities(const std::vector<std::string>& rows) {
  std::vector<std::string> identities;
  for (const auto& row : rows) identities.push_back(row.substr(0, row.rfind('|')));
  return identities;
}

TEST(FaultSweep, EveryCallOfEveryActionFailsInTurn) {
  std::size_t runs = 0;
  for (const Action& action : Actions()) {
    World baseline;
    action.prepare(baseline);
    baseline.machine.ClearCalls();
    action.run(baseline);
    const std::vector<sim::Call> calls = CountedCalls(baseline.machine);
    ASSERT_FALSE(calls.empty()) << action.name;
    baseline.form.RefreshDiskList();
    const std::vector<std::string> rows_after = baseline.view.RowTexts();

    for (std::size_t k = 1; k <= calls.size(); ++k) {
      for (const std::uint32_t error : kErrors) {
        SCOPED_TRACE(action.name + ": call " + std::to_string(k) + " of " +
                     std::to_string(calls.size()) + " (" + calls[k - 1].ToString() +
                     ") fails with " + std::to_string(error));
        World world;
        action.prepare(world);
        world.machine.ClearCalls();
        world.machine.FailNthCall(k, error);
        EXPECT_NO_THROW(action.run(world));
        ++runs;

        // The fault hit the call it was meant for.
        const std::vector<sim::Call> seen = CountedCalls(world.machine);
        ASSERT_GE(seen.size(), k);
        EXPECT_EQ(seen[k - 1].op, calls[k - 1].op);
        EXPECT_FALSE(seen[k - 1].ok);
        EXPECT_EQ(seen[k - 1].error, error);

        EXPECT_THAT(world.machine.OpenHandles(), IsEmpty());
        EXPECT_EQ(world.machine.bad_closes(), 0u);
        action.check(world, baseline, calls, k - 1);

        // A refresh without a fault lists what a fresh window lists, and, after an action
        // that changes no disk, exactly what it lists after the action ran without a fault.
        world.view.messages.clear();
        EXPECT_NO_THROW(world.form.RefreshDiskList());
        EXPECT_THAT(world.view.messages, IsEmpty());
        EXPECT_EQ(world.view.RowTexts(), FreshRows(world.machine));
        if (action.changes_disks) {
          EXPECT_EQ(Identities(world.view.RowTexts()), Identities(rows_after));
        } else {
          EXPECT_EQ(world.view.RowTexts(), rows_after);
        }
        EXPECT_THAT(world.machine.OpenHandles(), IsEmpty());
        EXPECT_EQ(world.machine.bad_closes(), 0u);
      }
    }
  }
  std::cout << "fault sweep: " << runs << " runs\n";
  ::testing::Test::RecordProperty("fault_sweep_runs", static_cast<int>(runs));
}

}  // namespace
}  // namespace sb
