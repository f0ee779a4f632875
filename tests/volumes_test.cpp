#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/sim/sim_machine.h"
#include "support/fake_view.h"
#include "support/scenario_fixture.h"
#include "volumes/mount_points.h"
#include "volumes/volume_routines.h"

namespace sb {
namespace {

using test::FakeView;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Guid(const std::string& id) {
  return "\\\\?\\Volume{" + id + "}\\";
}

sim::Volume Vol(const std::string& id, std::vector<std::uint32_t> disks,
                std::vector<std::string> paths = {}, std::string device = "") {
  sim::Volume volume;
  volume.guid_name = Guid(id);
  volume.device_name = device.empty() ? "\\Device\\HarddiskVolume" + id : device;
  for (std::uint32_t disk : disks) volume.extents.push_back({disk, 1048576, 100 * 1048576});
  volume.mount_paths = std::move(paths);
  return volume;
}

// An entry as "volume|device|disk|known or ?|mount path".
std::string Row(const volumes& entry) {
  return entry.volume_name + "|" + entry.device_name + "|" + std::to_string(entry.disk_number) +
         (entry.disk_known ? "|known|" : "|?|") + entry.mount_path;
}

std::vector<std::string> Rows(const VolumeTable& table, std::size_t count) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < count; ++i) rows.push_back(Row(table[i]));
  return rows;
}

class VolumesTest : public test::MainFormTest<> {};

TEST_F(VolumesTest, ListsEveryVolumeButCdromsAndFloppiesWithTheFirstPathAndExtent) {
  machine.AddVolume(Vol("1", {1}, {"E:\\"}));
  machine.AddVolume(Vol("cd", {0}, {"D:\\"}, "\\Device\\CdRom0"));
  machine.AddVolume(Vol("2", {1}));
  machine.AddVolume(Vol("fd", {0}, {"A:\\"}, "\\Device\\FLOPPY0"));
  machine.AddVolume(Vol("3", {2}, {"F:\\", "C:\\mnt\\data\\"}));
  machine.AddVolume(Vol("4", {3, 2}, {"G:\\"}));
  machine.AddVolume(Vol("cd2", {0}, {}, "\\Device\\Vendor\\cDrOm7"));
  sim::Volume nameless = Vol("5", {0}, {"H:\\"});
  nameless.device_name.clear();  // the DOS-device query fails: the volume is kept
  machine.AddVolume(nameless);
  machine.AddVolume(Vol("6", {300}, {"I:\\"}));

  EXPECT_EQ(list_volumes(machine, view, table), 6u);
  EXPECT_THAT(Rows(table, 6),
              ElementsAre("\\\\?\\Volume{1}\\|\\Device\\HarddiskVolume1|1|known|E:\\",
                          "\\\\?\\Volume{2}\\|\\Device\\HarddiskVolume2|1|known|",
                          "\\\\?\\Volume{3}\\|\\Device\\HarddiskVolume3|2|known|F:\\",
                          "\\\\?\\Volume{4}\\|\\Device\\HarddiskVolume4|3|known|G:\\",
                          "\\\\?\\Volume{5}\\||0|known|H:\\",
                          // a disk number past a byte keeps its low 8 bits but names no disk
                          "\\\\?\\Volume{6}\\|\\Device\\HarddiskVolume6|44|?|I:\\"));
  EXPECT_THAT(view.messages, IsEmpty());
}

TEST_F(VolumesTest, UsesTheBufferSizesOfThePlatformCalls) {
  machine.AddVolume(Vol("1", {1}, {"E:\\"}));
  list_volumes(machine, view, table);
  std::vector<std::string> calls;
  for (const auto& call : machine.calls()) {
    calls.push_back(call.op + " " + std::to_string(call.out_size) + " " + call.ToString());
  }
  EXPECT_THAT(
      calls,
      ElementsAre("FindFirstVolumeA 256 FindFirstVolumeA(\\\\?\\Volume{1}\\ -> h1) ok",
                  "QueryDosDeviceW 260 QueryDosDeviceW(Volume{1}) ok",
                  "GetVolumePathNamesForVolumeNameA 260 "
                  "GetVolumePathNamesForVolumeNameA(\\\\?\\Volume{1}\\) ok",
                  // the volume device, not its root folder
                  "CreateFile 0 CreateFile(\\\\?\\Volume{1} -> h2, access 0xC0000000, share 3, "
                  "flags 0x00000000) ok",
                  "DeviceIoControl 260 DeviceIoControl(h2, 0x00560000, in 0, out 260) ok",
                  "CloseHandle 0 CloseHandle(h2) ok",
                  "FindNextVolumeA 256 FindNextVolumeA() failed 18",
                  "FindVolumeClose 0 FindVolumeClose() ok"));
}

TEST_F(VolumesTest, AnExtentThatCannotBeReadGivesDiskZeroThatNamesNoDisk) {
  sim::Volume refused = Vol("open", {1});
  refused.open_error = win::kErrorAccessDenied;
  sim::Volume failing = Vol("request", {1});
  failing.extents_error = win::kErrorNotReady;
  sim::Volume eleven =
      Vol("eleven", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});  // more than 260 bytes hold
  sim::Volume none = Vol("none", {});
  sim::Volume ten = Vol("ten", {5, 1, 1, 1, 1, 1, 1, 1, 1, 1});  // exactly fills the buffer
  for (auto& volume : {refused, failing, eleven, none, ten}) machine.AddVolume(volume);

  ASSERT_EQ(list_volumes(machine, view, table), 5u);
  EXPECT_THAT(Rows(table, 5),
              ElementsAre("\\\\?\\Volume{open}\\|\\Device\\HarddiskVolumeopen|0|?|",
                          "\\\\?\\Volume{request}\\|\\Device\\HarddiskVolumerequest|0|?|",
                          "\\\\?\\Volume{eleven}\\|\\Device\\HarddiskVolumeeleven|0|?|",
                          "\\\\?\\Volume{none}\\|\\Device\\HarddiskVolumenone|0|?|",
                          "\\\\?\\Volume{ten}\\|\\Device\\HarddiskVolumeten|5|known|"));
  EXPECT_THAT(view.messages, IsEmpty());  // failures of the platform calls are not reported

  bool read = true;
  const DiskExtent extent = _GetVolumeExtent(machine, view, Guid("ten"), &read);
  EXPECT_TRUE(read);
  EXPECT_EQ(extent.disk_number, 5u);
  EXPECT_EQ(extent.starting_offset, 1048576);
  EXPECT_EQ(extent.extent_length, 100 * 1048576);
  const DiskExtent unread = _GetVolumeExtent(machine, view, Guid("eleven"), &read);
  EXPECT_FALSE(read);
  EXPECT_EQ(unread.disk_number, 0u);
  EXPECT_EQ(unread.extent_length, 0);
}

TEST_F(VolumesTest, EntriesBehindTheCountKeepWhatTheyHeldAndAreNotCounted) {
  for (const char* id : {"a", "b", "c"}) machine.AddVolume(Vol(id, {1}, {}));
  ASSERT_EQ(list_volumes(machine, view, table), 3u);
  machine.RemoveVolume(Guid("a"));
  machine.RemoveVolume(Guid("b"));
  EXPECT_EQ(list_volumes(machine, view, table), 1u);
  EXPECT_EQ(table[0].volume_name, Guid("c"));
  EXPECT_EQ(table[1].volume_name, Guid("b"));
  EXPECT_EQ(table[2].volume_name, Guid("c"));
  EXPECT_EQ(table[3].volume_name, "");

  machine.RemoveVolume(Guid("c"));
  machine.AddVolume(Vol("dvd", {0}, {"D:\\"}, "\\Device\\CdRom0"));
  EXPECT_EQ(list_volumes(machine, view, table), 0u);  // nothing passes: nothing written
  EXPECT_EQ(table[0].volume_name, Guid("c"));
  EXPECT_THAT(view.messages, IsEmpty());
}

TEST_F(VolumesTest, SixteenEntriesAtMostAndTheEnumerationEndsWhenTheTableIsFull) {
  for (int i = 1; i <= 18; ++i) machine.AddVolume(Vol(std::to_string(i), {1}, {}));
  EXPECT_EQ(list_volumes(machine, view, table), 16u);
  EXPECT_EQ(table[15].volume_name, Guid("16"));
  EXPECT_EQ(machine.CallsOf("FindNextVolumeA").size(), 15u);
  EXPECT_EQ(machine.CallsOf("FindVolumeClose").size(), 1u);
}

TEST_F(VolumesTest, AnEnumerationThatDoesNotStartIsReportedAndWritesNothing) {
  table[0].volume_name = "kept";
  EXPECT_EQ(list_volumes(machine, view, table), 0u);  // a machine without volumes

  machine.AddVolume(Vol("1", {1}));
  machine.FailNthCall(1, win::kErrorAccessDenied);
  EXPECT_EQ(list_volumes(machine, view, table), 0u);

  EXPECT_THAT(view.messages,
              ElementsAre("list_volumes:invalid handle", "list_volumes:invalid handle"));
  EXPECT_EQ(table[0].volume_name, "kept");
  EXPECT_THAT(machine.CallsOf("FindVolumeClose"), IsEmpty());
}

TEST_F(VolumesTest, DeviceNameIsTheFirstOfTheListAndShortNamesAreNotAskedAbout) {
  machine.AddVolume(Vol("1", {1}));
  const std::pair<std::string, std::string> cases[] = {
      {Guid("1"), "\\Device\\HarddiskVolume1"},
      {Guid("unknown"), ""},
      {"", ""},
      {"\\\\?", ""},
      {"\\\\?\\V", ""},
  };
  for (const auto& [name, device] : cases) {
    EXPECT_EQ(VolumeNameToDeviceName(machine, view, name), device) << name;
  }
  const auto queries = machine.CallsOf("QueryDosDeviceW");
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0].target, "Volume{1}");
  EXPECT_EQ(queries[1].target, "Volume{unknown}");
  EXPECT_THAT(view.messages, IsEmpty());
}

TEST_F(VolumesTest, MountTakesTheFirstLetterFromCThatThePlatformAccepts) {
  machine.AddVolume(Vol("new", {1}));
  machine.AddVolume(Vol("old", {1}, {"E:\\"}));
  machine.ReserveLetter('C');
  machine.ReserveLetter('D');
  EXPECT_TRUE(mount_vol(machine, view, Guid("new")));
  std::vector<std::string> tried;
  for (const auto& call : machine.CallsOf("SetVolumeMountPointA")) tried.push_back(call.ToString());
  EXPECT_THAT(tried, ElementsAre("SetVolumeMountPointA(C:\\ \\\\?\\Volume{new}\\) failed 145",
                                 "SetVolumeMountPointA(D:\\ \\\\?\\Volume{new}\\) failed 145",
                                 "SetVolumeMountPointA(E:\\ \\\\?\\Volume{new}\\) failed 145",
                                 "SetVolumeMountPointA(F:\\ \\\\?\\Volume{new}\\) ok"));
  EXPECT_THAT(machine.volumes()[0].mount_paths, ElementsAre("F:\\"));
}

TEST_F(VolumesTest, MountFailsAfterTwentyFourLettersWhenEveryOneIsTaken) {
  machine.AddVolume(Vol("new", {1}));
  for (char letter = 'C'; letter <= 'Z'; ++letter) machine.ReserveLetter(letter);
  EXPECT_FALSE(mount_vol(machine, view, Guid("new")));
  const auto tried = machine.CallsOf("SetVolumeMountPointA");
  ASSERT_EQ(tried.size(), 24u);
  EXPECT_EQ(tried.front().target, "C:\\ " + Guid("new"));
  EXPECT_EQ(tried.back().target, "Z:\\ " + Guid("new"));
  EXPECT_THAT(machine.volumes()[0].mount_paths, IsEmpty());
  EXPECT_THAT(view.boxes, IsEmpty());  // refusals are not errors
}

TEST_F(VolumesTest, UnmountRemovesThePathGivenUnchanged) {
  machine.AddVolume(Vol("1", {1}, {"E:\\", "C:\\mnt\\one\\"}));
  EXPECT_TRUE(unmount_vol(machine, view, "C:\\mnt\\one\\"));
  EXPECT_FALSE(unmount_vol(machine, view, "E:"));  // not a mount point without its backslash
  EXPECT_THAT(machine.volumes()[0].mount_paths, ElementsAre("E:\\"));
  EXPECT_THAT(view.boxes, IsEmpty());
}

// A machine on which one platform call raises, as a call can when memory runs out.
class RaisingMachine : public sim::SimMachine {
 public:
  std::string raise_in;
  std::size_t raise_at = 1;  // which call of that kind raises

  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    Raise("CreateFile");
    return SimMachine::CreateFile(path, access, share, disposition, flags);
  }
  std::uint32_t QueryDosDeviceW(const std::wstring& device, std::span<wchar_t> target) override {
    Raise("QueryDosDeviceW");
    return SimMachine::QueryDosDeviceW(device, target);
  }
  bool GetVolumePathNamesForVolumeNameA(const std::string& volume, std::span<char> paths) override {
    Raise("GetVolumePathNamesForVolumeNameA");
    return SimMachine::GetVolumePathNamesForVolumeNameA(volume, paths);
  }
  bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) override {
    Raise("SetVolumeMountPointA");
    return SimMachine::SetVolumeMountPointA(mount_point, volume);
  }
  bool DeleteVolumeMountPointA(const std::string& mount_point) override {
    Raise("DeleteVolumeMountPointA");
    return SimMachine::DeleteVolumeMountPointA(mount_point);
  }

 private:
  void Raise(const std::string& op) {
    if (op == raise_in && --raise_at == 0) throw std::runtime_error("out of memory");
  }
};

TEST(VolumeErrors, EachRoutineReportsWhatRaisesInsideItAndGoesOnAsItSays) {
  struct Case {
    std::string raise_in;
    std::size_t raise_at;
    std::size_t count;
    std::vector<std::string> rows;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"QueryDosDeviceW",
       1,
       2,
       {"\\\\?\\Volume{a}\\||1|known|E:\\",
        "\\\\?\\Volume{b}\\|\\Device\\HarddiskVolumeb|2|known|F:\\"},
       {"VolumeNameToDeviceName:out of memory"}},
      {"CreateFile",
       2,
       2,
       {"\\\\?\\Volume{a}\\|\\Device\\HarddiskVolumea|1|known|E:\\",
        "\\\\?\\Volume{b}\\|\\Device\\HarddiskVolumeb|0|?|F:\\"},
       {"_GetVolumeExtent:out of memory"}},
      {"GetVolumePathNamesForVolumeNameA",
       2,
       1,
       {"\\\\?\\Volume{a}\\|\\Device\\HarddiskVolumea|1|known|E:\\"},
       {"list_volumes:out of memory"}},
  };
  for (const Case& c : cases) {
    RaisingMachine machine;
    machine.AddVolume(Vol("a", {1}, {"E:\\"}));
    machine.AddVolume(Vol("b", {2}, {"F:\\"}));
    machine.raise_in = c.raise_in;
    machine.raise_at = c.raise_at;
    FakeView view;
    VolumeTable table;
    const std::size_t count = list_volumes(machine, view, table);
    EXPECT_EQ(count, c.count) << c.raise_in;
    EXPECT_EQ(Rows(table, count), c.rows) << c.raise_in;
    EXPECT_EQ(view.messages, c.messages) << c.raise_in;
    EXPECT_THAT(machine.OpenHandles(), IsEmpty()) << c.raise_in;
  }
}

TEST(VolumeErrors, MountPointRoutinesShowTheirErrorInAnOwnerlessBoxAndGiveFalse) {
  RaisingMachine machine;
  machine.AddVolume(Vol("a", {1}, {"E:\\"}));
  machine.AddVolume(Vol("b", {1}));
  FakeView view;
  machine.raise_in = "SetVolumeMountPointA";
  EXPECT_FALSE(mount_vol(machine, view, Guid("b")));
  machine.raise_in = "DeleteVolumeMountPointA";
  machine.raise_at = 1;
  EXPECT_FALSE(unmount_vol(machine, view, "E:\\"));
  ASSERT_EQ(view.boxes.size(), 2u);
  const std::pair<const char*, const char*> expected[] = {
      {"mount_vol:out of memory", "mount_vol"}, {"unmount_vol:out of memory", "unmount_vol"}};
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(view.boxes[i].owner, Dialogs::Owner::kNone);
    EXPECT_TRUE(view.boxes[i].single_byte);
    EXPECT_EQ(view.boxes[i].text, expected[i].first);
    EXPECT_EQ(view.boxes[i].caption, expected[i].second);
    EXPECT_EQ(view.boxes[i].type, win::kMbOk);
  }
  EXPECT_THAT(view.messages, IsEmpty());
}

}  // namespace
}  // namespace sb
