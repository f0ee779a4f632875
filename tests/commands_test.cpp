#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "disk/attributes.h"
#include "platform/records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "support/notices.h"
#include "support/scenario_fixture.h"
#include "ui/main_form.h"

namespace sb {
namespace {

using test::FakeView;
using test::kMiB;
using test::ListDisk;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Guid(const std::string& id) {
  return "\\\\?\\Volume{" + id + "}\\";
}

sim::Volume Vol(const std::string& id, std::uint32_t disk, std::vector<std::string> paths = {}) {
  sim::Volume volume;
  volume.guid_name = Guid(id);
  volume.device_name = "\\Device\\HarddiskVolume" + id;
  volume.extents.push_back({disk, kMiB, 64 * kMiB});
  volume.mount_paths = std::move(paths);
  return volume;
}

// What the machine was asked to do that the user cares about, in order: attribute
// changes, pauses, refills of the disk list, volume enumerations and mount-point changes.
std::vector<std::string> Trace(const sim::SimMachine& machine) {
  std::vector<std::string> trace;
  for (const auto& call : machine.calls()) {
    const std::string failed = call.ok ? "" : " failed";
    if (call.op == "DeviceIoControl" && call.code == ioctl::kDiskSetDiskAttributes) {
      const ByteReader block(call.input);
      trace.push_back("set " + std::to_string(block.U64(rec::kSetDiskAttributesAttributes)) + "/" +
                      std::to_string(block.U64(rec::kSetDiskAttributesMask)) + failed);
    } else if (call.op == "Sleep") {
      trace.push_back("sleep " + call.target);
    } else if (call.op == "CreateFile" && call.target.rfind("\\\\.\\physicaldrive0", 0) == 0) {
      trace.push_back("list");  // every refill starts with the probe of disk 0
    } else if (call.op == "FindFirstVolumeA") {
      trace.push_back("volumes");
    } else if (call.op == "SetVolumeMountPointA") {
      trace.push_back("mount " + call.target + failed);
    } else if (call.op == "DeleteVolumeMountPointA") {
      trace.push_back("unmount " + call.target + failed);
    }
  }
  return trace;
}

std::vector<std::string> Targets(const sim::SimMachine& machine, const std::string& op) {
  std::vector<std::string> targets;
  for (const auto& call : machine.CallsOf(op)) targets.push_back(call.target);
  return targets;
}

class CommandsTest : public test::MainFormTest<> {
 protected:
  void SetUp() override {
    machine.AddDisk(0, ListDisk("System", 100 * kMiB));
    machine.AddDisk(1, ListDisk("Data", 200 * kMiB));
    machine.AddDisk(2, ListDisk("Backup", 300 * kMiB));
    machine.ReserveLetter('C');
  }
  // Shows the window, selects the row at position row and forgets how it got there.
  void Start(std::size_t row) {
    form.FormShow();
    view.selected = row;
    view.events.clear();
    machine.ClearCalls();
    machine.TakeNotices();
  }
  // Notices the machine queued are handled while the command lets pending messages run.
  void DeliverNoticesWhenMessagesRun() {
    view.on_process_messages = [this] {
      elapsed_when_messages_ran = machine.elapsed_ms();
      test::DeliverNotices(machine, form);
    };
  }

  std::uint64_t elapsed_when_messages_ran = 0;
};

using Command = void (MainForm::*)();
struct CommandCase {
  const char* name;
  Command command;
};
const CommandCase kCommands[] = {
    {"Offline", &MainForm::Button2Click},
    {"Online", &MainForm::Button3Click},
    {"Read-Only", &MainForm::Button4Click},
    {"Read-Write", &MainForm::Button5Click},
};

// Panel1's buttons, left to right, are Button2 to Button5, and each runs its command.
TEST(CommandButtons, ButtonTwoToFiveRunOfflineOnlineReadOnlyAndReadWrite) {
  ASSERT_EQ(std::size(kCommandButtons), std::size(kCommands));
  for (std::size_t i = 0; i < std::size(kCommands); ++i) {
    const CommandButton& button = kCommandButtons[i];
    EXPECT_EQ(button.number, static_cast<int>(i) + 2) << kCommands[i].name;
    EXPECT_EQ(test::A(button.caption), kCommands[i].name);
    EXPECT_TRUE(button.click == kCommands[i].command) << kCommands[i].name;
    EXPECT_EQ(FindCommandButton(kCommands[i].name), &button);
  }
  // Captions are matched exactly: no other name, case, part or extension of one.
  for (const char* name : {"Refresh", "offline", "", "Read", "Online ", "Read-Write-"}) {
    EXPECT_EQ(FindCommandButton(name), nullptr) << "'" << name << "'";
  }
}

TEST_F(CommandsTest, WithoutASelectedRowEveryCommandAsksForADiskAndDoesNothingElse) {
  for (const auto& c : kCommands) {
    Start(0);
    view.selected.reset();
    view.messages.clear();
    (form.*c.command)();
    EXPECT_THAT(view.messages, ElementsAre("pick a disk/part")) << c.name;
    EXPECT_THAT(view.boxes, IsEmpty()) << c.name;
    EXPECT_THAT(machine.calls(), IsEmpty()) << c.name;
  }
}

TEST_F(CommandsTest, EachCommandAsksItsQuestionAndAnswerNoChangesNothing) {
  struct Case {
    Command command;
    Dialogs::Owner owner;
    bool single_byte;
    const char* caption;
    const char* text;
  };
  const Case cases[] = {
      {&MainForm::Button2Click, Dialogs::Owner::kMainWindow, !kWideText, "Quarrow",
       "Set \\\\.\\PhysicalDrive1 offline ?"},
      {&MainForm::Button3Click, Dialogs::Owner::kNone, true, "Spindlebay",
       "WARNING - You are about to mount every volume on disk 1.\r\n"
       "If the disk is NOT Read-Only, it will NOT be write protected.\r\nContinue?"},
      {&MainForm::Button4Click, Dialogs::Owner::kMainWindow, !kWideText, "Quarrow",
       "Set \\\\.\\PhysicalDrive1 read-only ?"},
      {&MainForm::Button5Click, Dialogs::Owner::kMainWindow, !kWideText, "Quarrow",
       "Set \\\\.\\PhysicalDrive1 read-write ?"},
  };
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  for (const auto& c : cases) {
    Start(1);
    view.boxes.clear();
    view.answers = {win::kIdNo};
    (form.*c.command)();
    ASSERT_EQ(view.boxes.size(), 1u) << c.text;
    EXPECT_EQ(view.boxes[0].owner, c.owner) << c.text;
    EXPECT_EQ(view.boxes[0].single_byte, c.single_byte) << c.text;
    EXPECT_EQ(view.boxes[0].caption, c.caption);
    EXPECT_EQ(view.boxes[0].text, c.text);
    // Yes and No, Yes the default button, no icon.
    EXPECT_EQ(view.boxes[0].type, win::kMbYesNo | win::kMbDefButton1);
    EXPECT_EQ(view.events.size(), 1u) << c.text;  // no status, message or refresh
    EXPECT_THAT(machine.calls(), IsEmpty()) << c.text;
    EXPECT_EQ(view.status, "");
  }
  EXPECT_EQ(machine.disk(1)->attributes, 0u);
}

TEST_F(CommandsTest, OfflineHandlesTheNoticesOfThePauseThenRemovesTheMountPointsOfTheDisk) {
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  machine.AddVolume(Vol("b", 1, {"F:\\", "C:\\mnt\\b\\"}));
  machine.AddVolume(Vol("c", 1));
  machine.AddVolume(Vol("d", 2, {"G:\\"}));
  machine.AddVolume(Vol("e", 0, {"H:\\"}));
  Start(1);
  DeliverNoticesWhenMessagesRun();

  form.Button2Click();

  EXPECT_THAT(
      view.events,
      ElementsAre("box: Quarrow: Set \\\\.\\PhysicalDrive1 offline ?",
                  "status: IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_OFFLINE Ok", "process messages",
                  "status: 12/9/2026 10:00:01 AM : device removed E:", "refresh",
                  "status: 12/9/2026 10:00:01 AM : device removed F:", "refresh", "refresh"));
  EXPECT_EQ(elapsed_when_messages_ran, 1000u);  // the pause comes first
  EXPECT_THAT(Trace(machine), ElementsAre("set 1/1", "sleep 1000", "list", "list", "list",
                                          "volumes", "unmount E:\\", "unmount F:\\"));
  EXPECT_EQ(machine.disk(1)->attributes, 1u);
  EXPECT_THAT(view.messages, IsEmpty());
  EXPECT_EQ(view.RowTexts().at(1), "1|DISK|Data|200|Offline Read-Write ");
  // Only the first path of b goes; the other disks keep their letters.
  EXPECT_THAT(machine.volumes()[1].mount_paths, ElementsAre("C:\\mnt\\b\\"));
  EXPECT_THAT(machine.LettersInUse(), ElementsAre('C', 'G', 'H'));
}

TEST_F(CommandsTest, RefusedOfflineOrOnlineIsReportedAndTheVolumesAreStillWalked) {
  struct Case {
    Command command;
    std::uint32_t disk_attributes;
    const char* message;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {&MainForm::Button2Click,
       0,
       "IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_OFFLINE failed",
       {"set 1/1 failed", "sleep 1000", "list", "volumes", "unmount E:\\"}},
      {&MainForm::Button3Click,
       1,
       "IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_ONLINE failed",
       {"set 0/1 failed", "sleep 1000", "list", "volumes", "mount C:\\ \\\\?\\Volume{b}\\ failed",
        "mount D:\\ \\\\?\\Volume{b}\\"}},
  };
  for (const auto& c : cases) {
    machine.volumes().clear();
    machine.AddVolume(Vol("a", 1, {"E:\\"}));
    machine.AddVolume(Vol("b", 1));
    machine.disk(1)->attributes = c.disk_attributes;
    machine.disk(1)->failing_requests[ioctl::kDiskSetDiskAttributes] = win::kErrorAccessDenied;
    Start(1);
    view.messages.clear();
    view.status = "before";
    (form.*c.command)();
    EXPECT_THAT(view.messages, ElementsAre(c.message));
    EXPECT_EQ(view.status, "before");
    EXPECT_EQ(Trace(machine), c.trace) << c.message;
    EXPECT_EQ(machine.disk(1)->attributes, c.disk_attributes);
  }
}

TEST_F(CommandsTest, OnlineGivesALetterToEachVolumeOfTheDiskThatHasNone) {
  machine.disk(1)->attributes = DISK_ATTRIBUTE_OFFLINE;
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  machine.AddVolume(Vol("b", 1));
  machine.AddVolume(Vol("c", 2));
  machine.AddVolume(Vol("d", 1, {"C:\\mnt\\d\\"}));  // a folder counts as a mount point
  machine.AddVolume(Vol("f", 1));
  Start(1);
  DeliverNoticesWhenMessagesRun();

  form.Button3Click();

  EXPECT_THAT(
      view.events,
      ElementsAre("box: Spindlebay: WARNING - You are about to mount every volume on disk "
                  "1.\r\nIf the disk is NOT Read-Only, it will NOT be write protected.\r\n"
                  "Continue?",
                  "status: IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_ONLINE Ok", "process messages",
                  "status: 12/9/2026 10:00:01 AM : device inserted E:", "refresh", "refresh"));
  EXPECT_THAT(
      Trace(machine),
      ElementsAre("set 0/1", "sleep 1000", "list", "list", "volumes",
                  "mount C:\\ \\\\?\\Volume{b}\\ failed", "mount D:\\ \\\\?\\Volume{b}\\",
                  "mount C:\\ \\\\?\\Volume{f}\\ failed", "mount D:\\ \\\\?\\Volume{f}\\ failed",
                  "mount E:\\ \\\\?\\Volume{f}\\ failed", "mount F:\\ \\\\?\\Volume{f}\\"));
  EXPECT_THAT(machine.volumes()[2].mount_paths, IsEmpty());  // another disk's volume
  EXPECT_EQ(machine.disk(1)->attributes, 0u);
}

TEST_F(CommandsTest, VolumesWhoseDiskIsNotKnownAreNeverTakenForDiskZero) {
  machine.AddVolume(Vol("zero", 0, {"H:\\"}));
  sim::Volume unreadable = Vol("unreadable", 0, {"I:\\"});
  unreadable.extents_error = win::kErrorNotReady;
  machine.AddVolume(unreadable);
  sim::Volume refused = Vol("refused", 0, {"K:\\"});
  refused.open_error = win::kErrorAccessDenied;
  machine.AddVolume(refused);
  machine.AddVolume(Vol("far", 256, {"J:\\"}));  // its low byte reads 0
  machine.AddVolume(Vol("far2", 258));
  machine.AddVolume(Vol("two", 2, {"G:\\"}));
  Start(0);

  form.Button2Click();
  EXPECT_THAT(Targets(machine, "DeleteVolumeMountPointA"), ElementsAre("H:\\"));

  // With H: gone, Online of disk 0 gives a letter back to that volume alone.
  machine.ClearCalls();
  form.Button3Click();
  EXPECT_THAT(Targets(machine, "SetVolumeMountPointA"),
              ElementsAre("C:\\ " + Guid("zero"), "D:\\ " + Guid("zero")));
  EXPECT_THAT(machine.volumes()[0].mount_paths, ElementsAre("D:\\"));
  EXPECT_THAT(machine.volumes()[4].mount_paths, IsEmpty());
}

TEST_F(CommandsTest, OnlyTheEntriesTheLatestEnumerationWroteAreVisited) {
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  // Left from an earlier enumeration that saw more volumes.
  table[1] = {"\\\\?\\Volume{gone}\\", "\\Device\\HarddiskVolume9", 1, "Q:\\", true};
  table[2] = {"\\\\?\\Volume{gone2}\\", "\\Device\\HarddiskVolume8", 1, "", true};
  Start(1);
  form.Button2Click();
  form.Button3Click();
  EXPECT_THAT(Trace(machine),
              ElementsAre("set 1/1", "sleep 1000", "list", "volumes", "unmount E:\\", "set 0/1",
                          "sleep 1000", "list", "volumes", "mount C:\\ \\\\?\\Volume{a}\\ failed",
                          "mount D:\\ \\\\?\\Volume{a}\\"));
  EXPECT_EQ(table[1].mount_path, "Q:\\");
}

TEST_F(CommandsTest, TheDiskReadAtTheStartIsUsedAfterTheListWasRefilled) {
  machine.AddVolume(Vol("one", 1, {"E:\\"}));
  machine.AddVolume(Vol("two", 2, {"F:\\"}));
  Start(1);
  // Disk 0 goes away during the pause: the refill puts disk 2 at the remembered position.
  view.on_process_messages = [this] { machine.RemoveDisk(0); };
  form.Button2Click();
  EXPECT_EQ(view.rows.at(*view.selected).caption, "2");
  EXPECT_THAT(Trace(machine),
              ElementsAre("set 1/1", "sleep 1000", "list", "volumes", "unmount E:\\"));
  EXPECT_EQ(machine.disk(2)->attributes, 0u);
}

// The disk is the one the row's caption names, not the row's position: with disk 1 absent,
// row 1 is disk 2, and the volumes of disk 1 must stay as they are.
TEST_F(CommandsTest, EachCommandActsOnTheDiskTheRowCaptionNames) {
  machine.RemoveDisk(1);
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  machine.AddVolume(Vol("b", 1));
  machine.AddVolume(Vol("c", 2, {"F:\\"}));
  machine.AddVolume(Vol("d", 2));
  const auto opened_for_writing = [this] {
    std::vector<std::string> paths;
    for (const auto& call : machine.CallsOf("CreateFile")) {
      const std::string path = call.target.substr(0, call.target.find(' '));
      if ((call.access & win::kGenericWrite) && path.find("PhysicalDrive") != std::string::npos) {
        paths.push_back(path);
      }
    }
    return paths;
  };
  const std::string disk2 = "\\\\.\\PhysicalDrive2";

  Start(1);
  form.Button2Click();
  EXPECT_THAT(opened_for_writing(), ElementsAre(disk2));
  EXPECT_THAT(Targets(machine, "DeleteVolumeMountPointA"), ElementsAre("F:\\"));
  EXPECT_EQ(machine.disk(2)->attributes, 1u);

  Start(1);
  form.Button3Click();
  EXPECT_THAT(opened_for_writing(), ElementsAre(disk2));
  EXPECT_THAT(machine.volumes()[1].mount_paths, IsEmpty());            // disk 1's volume "b"
  EXPECT_THAT(machine.volumes()[2].mount_paths, ElementsAre("D:\\"));  // "c", free again
  EXPECT_THAT(machine.volumes()[3].mount_paths, ElementsAre("F:\\"));  // "d"; E: is "a"
  EXPECT_EQ(machine.disk(2)->attributes, 0u);

  for (Command command : {&MainForm::Button4Click, &MainForm::Button5Click}) {
    Start(1);
    (form.*command)();
    EXPECT_THAT(opened_for_writing(), ElementsAre(disk2, disk2, disk2));  // change and cycle
  }
  EXPECT_THAT(machine.volumes()[0].mount_paths, ElementsAre("E:\\"));
  EXPECT_EQ(machine.disk(0)->attributes, 0u);
}

// Only Yes goes on: Esc or Close (IDCANCEL under Wine), a box that could not be shown (0) and
// any other answer stop the command as No does.
TEST_F(CommandsTest, AnyAnswerButYesStopsTheCommand) {
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  for (const int answer : {0, win::kIdOk, 2 /* IDCANCEL */, 3 /* IDABORT */, win::kIdNo, -1}) {
    for (const auto& c : kCommands) {
      Start(1);
      view.boxes.clear();
      view.events.clear();
      view.status.clear();
      machine.ClearCalls();
      view.answers = {answer};
      (form.*c.command)();
      EXPECT_EQ(view.boxes.size(), 1u) << c.name << " answered " << answer;
      EXPECT_EQ(view.events.size(), 1u) << c.name << " answered " << answer;
      EXPECT_THAT(machine.calls(), IsEmpty()) << c.name << " answered " << answer;
      EXPECT_EQ(view.status, "") << c.name << " answered " << answer;
    }
  }
  EXPECT_EQ(machine.disk(1)->attributes, 0u);
}

TEST_F(CommandsTest, ReadOnlyAndReadWriteCycleTheDiskOnlyWhenItIsOnlineAfterwards) {
  struct Case {
    Command command;
    std::uint64_t before;
    bool query_fails;
    std::uint64_t after;
    const char* status;
    std::vector<std::string> trace;
  };
  const char* kReadOnlyOk = "IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY Ok";
  const char* kWriteOk = "IOCTL_DISK_SET_DISK_ATTRIBUTES WRITE Ok";
  const std::vector<std::string> cycle = {"set 1/1", "set 0/1", "sleep 1000", "list"};
  const std::vector<std::string> no_cycle = {"sleep 1000", "list"};
  auto after = [](const char* first, std::vector<std::string> rest) {
    rest.insert(rest.begin(), first);
    return rest;
  };
  const Case cases[] = {
      {&MainForm::Button4Click, 0, false, 2, kReadOnlyOk, after("set 2/2", cycle)},
      {&MainForm::Button4Click, 1, false, 3, kReadOnlyOk, after("set 2/2", no_cycle)},
      {&MainForm::Button4Click, 4, false, 6, kReadOnlyOk, after("set 2/2", no_cycle)},
      {&MainForm::Button4Click, 0, true, 2, kReadOnlyOk, after("set 2/2", no_cycle)},
      {&MainForm::Button5Click, 2, false, 0, kWriteOk, after("set 0/2", cycle)},
      {&MainForm::Button5Click, 3, false, 1, kWriteOk, after("set 0/2", no_cycle)},
  };
  machine.AddVolume(Vol("a", 1, {"E:\\"}));
  for (const auto& c : cases) {
    machine.disk(1)->attributes = c.before;
    machine.disk(1)->failing_requests.clear();
    Start(1);
    if (c.query_fails) {
      machine.disk(1)->failing_requests[ioctl::kDiskGetDiskAttributes] = win::kErrorNotReady;
    }
    view.on_process_messages = [] {
      ADD_FAILURE() << "pending messages are left to the main loop";
    };
    (form.*c.command)();
    EXPECT_EQ(Trace(machine), c.trace) << c.status << " " << c.before;
    EXPECT_EQ(machine.disk(1)->attributes, c.after);
    ASSERT_EQ(view.events.size(), 3u);
    EXPECT_EQ(view.events[1], std::string("status: ") + c.status);
    EXPECT_EQ(view.events[2], "refresh");
    EXPECT_THAT(view.messages, IsEmpty());
    // The notices of a cycle wait for the main loop.
    EXPECT_EQ(machine.HasNotices(), c.trace.size() == cycle.size() + 1);
  }
}

TEST_F(CommandsTest, TheCycleFollowsTheAttributeQueryOfTheSameDisk) {
  Start(1);
  form.Button4Click();
  std::vector<std::string> calls;
  for (const auto& call : machine.calls()) {
    // Handles are numbered across the whole run; their order is what matters here.
    calls.push_back(std::regex_replace(call.ToString(), std::regex("h[0-9]+"), "h"));
    if (call.op == "Sleep") break;
  }
  EXPECT_THAT(
      calls,
      ElementsAre(
          "CreateFile(\\\\.\\PhysicalDrive1 -> h, access 0xC0000000, share 3, flags 0x00000000) ok",
          "DeviceIoControl(h, 0x0007C0F4, in 40, out 0) ok", "CloseHandle(h) ok",
          "CreateFile(\\\\.\\PhysicalDrive1 -> h, access 0x80000000, share 3, flags 0x00000000) ok",
          "DeviceIoControl(h, 0x000700F0, in 0, out 16) ok", "CloseHandle(h) ok",
          "CreateFile(\\\\.\\PhysicalDrive1 -> h, access 0xC0000000, share 3, flags 0x00000000) ok",
          "DeviceIoControl(h, 0x0007C0F4, in 40, out 0) ok", "CloseHandle(h) ok",
          "CreateFile(\\\\.\\PhysicalDrive1 -> h, access 0xC0000000, share 3, flags 0x00000000) ok",
          "DeviceIoControl(h, 0x0007C0F4, in 40, out 0) ok", "CloseHandle(h) ok",
          "Sleep(1000) ok"));
}

TEST_F(CommandsTest, RefusedReadOnlyOrReadWriteShowsOnlyItsWords) {
  struct Case {
    Command command;
    const char* words;
    const char* request;
  };
  const Case cases[] = {
      {&MainForm::Button4Click, "IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY failed",
       "set 2/2 failed"},
      {&MainForm::Button5Click, "IOCTL_DISK_SET_DISK_ATTRIBUTES WRITE failed", "set 0/2 failed"},
  };
  machine.disk(1)->failing_requests[ioctl::kDiskSetDiskAttributes] = win::kErrorAccessDenied;
  for (const auto& c : cases) {
    Start(1);
    (form.*c.command)();
    // No status, no cycle, no pause and no refresh.
    EXPECT_THAT(view.events, ElementsAre(::testing::StartsWith("box: Quarrow: Set "),
                                         std::string("message: ") + c.words));
    EXPECT_EQ(view.status, "");
    EXPECT_THAT(Trace(machine), ElementsAre(c.request));
  }
}

}  // namespace
}  // namespace sb
