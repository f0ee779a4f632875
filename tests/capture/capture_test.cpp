// The capture on the simulated machine: what the program sees on a machine and on the
// machine its capture describes must be the same, the capture must ask as the program asks,
// and it must change nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "disk/device_path.h"
#include "disk/report.h"
#include "platform/sim/sim_machine.h"
#include "support/fake_view.h"
#include "tools/capture/capture.h"
#include "tools/capture/machine_writer.h"
#include "tools/capture/stand_ins.h"
#include "tools/scenario/machine_json.h"
#include "tools/scenario/utf8_text.h"
#include "ui/disk_list.h"
#include "volumes/volume_routines.h"

namespace sb::capture {
namespace {

using nlohmann::json;

json DescriptionIn(const std::string& path) {
  const json file = scenario::ReadScenarioFile(path);
  return file.contains("machine") ? file.at("machine") : file;
}

// Every machine the tests know: the capture's own kinds and the golden scenarios'.
std::vector<std::string> MachineFiles() {
  std::vector<std::string> files;
  for (const char* dir : {SB_CAPTURE_MACHINES, SB_SCENARIO_DIR}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.path().extension() == ".json") files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct RecordedLines : Lines {
  std::vector<std::string> lines;
  void Clear() override { lines.clear(); }
  void Add(const Text& line) override { lines.push_back(test::A(line)); }
};

// The rows of the list, every listed disk's report and the volume table.
std::vector<std::string> WhatTheProgramSees(sim::SimMachine& machine) {
  test::FakeView view;
  _Enum_Drives_lv(machine, view);
  std::vector<std::string> seen = view.RowTexts();
  for (const auto& row : view.rows) {
    RecordedLines report;
    DiskInfoReport(machine, DiskPath(AsciiToText(row.caption)), report);
    seen.push_back("report " + row.caption);
    seen.insert(seen.end(), report.lines.begin(), report.lines.end());
  }
  VolumeTable table;
  const std::size_t count = list_volumes(machine, view, table);
  for (std::size_t i = 0; i < count; ++i) {
    seen.push_back("volume " + table[i].volume_name + "|" + table[i].device_name + "|" +
                   std::to_string(table[i].disk_number) + "|" + table[i].mount_path);
  }
  seen.insert(seen.end(), view.messages.begin(), view.messages.end());
  return seen;
}

json Captured(sim::SimMachine& machine, bool keep_identifiers = true) {
  Capture capture = CaptureMachine(machine);
  if (!keep_identifiers) StandIns().Apply(capture);
  // Through the text, as a user's file would come.
  return json::parse(MachineJson(capture, machine).dump(2));
}

// Each open (path in lower case, access, sharing, flags) with the requests sent on it
// (code, input and output sizes), or "refused".
std::set<std::string> OpensAndRequests(const sim::SimMachine& machine, bool number_blind) {
  std::map<std::string, std::string> opens;
  std::set<std::string> seen;
  for (const sim::Call& call : machine.calls()) {
    if (call.op == "CreateFile") {
      std::string path = call.target.substr(0, call.target.find(" -> "));
      std::transform(path.begin(), path.end(), path.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (number_blind && path.starts_with("\\\\.\\physicaldrive")) path = "disk";
      const std::string open = path + " access " + std::to_string(call.access) + " share " +
                               std::to_string(call.share) + " flags " + std::to_string(call.flags);
      if (!call.ok) {
        seen.insert(open + " refused");
      } else {
        opens[call.target.substr(call.target.find(" -> ") + 4)] = open;
      }
    } else if (call.op == "DeviceIoControl") {
      seen.insert(opens[call.target] + " code " + std::to_string(call.code) + " in " +
                  std::to_string(call.in_size) + " out " + std::to_string(call.out_size));
    }
  }
  return seen;
}

class EveryMachine : public testing::TestWithParam<std::string> {};

TEST_P(EveryMachine, ItsCaptureShowsWhatItShows) {
  const json description = DescriptionIn(GetParam());
  sim::SimMachine original;
  scenario::LoadMachine(description, original);
  const json capture = Captured(original);
  EXPECT_THAT(original.OpenHandles(), testing::IsEmpty());

  sim::SimMachine replay;
  scenario::LoadMachine(capture, replay);
  sim::SimMachine fresh;
  scenario::LoadMachine(description, fresh);
  EXPECT_EQ(WhatTheProgramSees(replay), WhatTheProgramSees(fresh));
  // Nothing is lost on the way: the capture of the replay is the capture.
  sim::SimMachine replay_again;
  scenario::LoadMachine(capture, replay_again);
  EXPECT_EQ(Captured(replay_again), capture);
}

TEST_P(EveryMachine, ItsCaptureChangesNothingAndAsksWhatTheProgramAsks) {
  const json description = DescriptionIn(GetParam());
  sim::SimMachine program;
  scenario::LoadMachine(description, program);
  WhatTheProgramSees(program);
  sim::SimMachine captured;
  scenario::LoadMachine(description, captured);
  Captured(captured);

  for (const sim::Call& call : captured.calls()) {
    EXPECT_NE(call.op, "SetVolumeMountPointA");
    EXPECT_NE(call.op, "DeleteVolumeMountPointA");
    EXPECT_NE(call.code, ioctl::kDiskSetDiskAttributes) << call.ToString();
    // Disks are opened for reading at most; only the volume devices are opened as the
    // program opens them, with write access, for the extent query.
    if (call.op == "CreateFile" && call.target.find("Volume{") == std::string::npos) {
      EXPECT_EQ(call.access & ~win::kGenericRead, 0u) << call.ToString();
    }
  }
  const std::set<std::string> by_program = OpensAndRequests(program, false);
  const std::set<std::string> by_capture = OpensAndRequests(captured, false);
  EXPECT_TRUE(
      std::includes(by_capture.begin(), by_capture.end(), by_program.begin(), by_program.end()))
      << "the program asks what the capture does not";
  // Every disk was left as it was.
  for (const json& disk : description.value("disks", json::array())) {
    const sim::Disk* before = program.disk(disk.at("number").get<std::uint32_t>());
    const sim::Disk* after = captured.disk(disk.at("number").get<std::uint32_t>());
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->attributes, before->attributes);
  }
}

INSTANTIATE_TEST_SUITE_P(Machines, EveryMachine, testing::ValuesIn(MachineFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = std::filesystem::path(info.param).stem().string();
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

// A disk that answers everything: the capture's opens and requests are exactly the
// program's, buffer sizes included.
TEST(Capture, AsksExactlyAsTheProgramAsksADiskThatAnswersEverything) {
  const json description = {{"disks",
                             {{{"number", 3},
                               {"product", "Data"},
                               {"serial", "SN1"},
                               {"length", 1048576},
                               {"geometry", json::object()},
                               {"layout", {{"style", "mbr"}, {"signature", 7}}},
                               {"cache", {{"read", true}, {"write", true}}},
                               {"predict_failure", 0}}}},
                            {"volumes",
                             {{{"guid", "\\\\?\\Volume{00000000-0000-0000-0000-000000000001}\\"},
                               {"device", "\\Device\\HarddiskVolume1"},
                               {"extents", {{{"disk", 3}, {"offset", 0}, {"length", 4096}}}},
                               {"mount_paths", {"E:\\"}}}}}};
  sim::SimMachine program;
  scenario::LoadMachine(description, program);
  WhatTheProgramSees(program);
  sim::SimMachine captured;
  scenario::LoadMachine(description, captured);
  Captured(captured);
  EXPECT_EQ(OpensAndRequests(captured, false), OpensAndRequests(program, false));
}

TEST(Capture, LeavesOutNumbersWithoutADiskAndKeepsRefusedOnes) {
  sim::SimMachine machine;
  scenario::LoadMachine(json{{"disks", {{{"number", 2}, {"open_error", 5}}, {{"number", 9}}}}},
                        machine);
  const Capture capture = CaptureMachine(machine);
  ASSERT_EQ(capture.disks.size(), 2u);
  EXPECT_EQ(capture.disks[0].number, 2u);
  EXPECT_EQ(capture.disks[0].open_error, 5u);
  EXPECT_EQ(capture.disks[1].number, 9u);
  EXPECT_THAT(capture.notes, testing::ElementsAre("disk 2: the open was refused (error 5)"));
}

// Past the program's buffers: a volume of twelve extents and one whose mount paths do not
// fit 260 bytes are asked again, so that the replay fails the program's call as Windows did.
TEST(Capture, KeepsWhatDoesNotFitTheProgramsBuffers) {
  json extents = json::array();
  for (int i = 0; i < 12; ++i) {
    extents.push_back({{"disk", i}, {"offset", 0}, {"length", 1}});
  }
  json paths = json::array();
  for (int i = 0; i < 12; ++i) {
    paths.push_back("C:\\mounts\\a-rather-long-folder-name-" + std::to_string(i) + "\\");
  }
  const json description = {{"volumes",
                             {{{"guid", "\\\\?\\Volume{00000000-0000-0000-0000-000000000001}\\"},
                               {"device", "\\Device\\HarddiskVolume1"},
                               {"extents", extents},
                               {"mount_paths", paths}}}}};
  sim::SimMachine machine;
  scenario::LoadMachine(description, machine);
  const json capture = Captured(machine);
  EXPECT_EQ(capture.at("volumes").at(0).at("extents"), extents);
  EXPECT_EQ(capture.at("volumes").at(0).at("mount_paths"), paths);
}

// Any one platform call failing, at every place the capture makes one: the capture still
// describes the machine, in a description that loads, and leaves no handle open.
TEST(Capture, SurvivesAnyOneCallFailing) {
  const json description = DescriptionIn(std::string(SB_CAPTURE_MACHINES) + "/structured.json");
  sim::SimMachine counting;
  scenario::LoadMachine(description, counting);
  Captured(counting);
  const std::size_t calls = counting.calls().size();
  ASSERT_GT(calls, 100u);
  for (std::size_t n = 1; n <= calls; ++n) {
    sim::SimMachine machine;
    scenario::LoadMachine(description, machine);
    machine.FailNthCall(n, win::kErrorNotReady);
    const json capture = Captured(machine, n % 2 == 0);
    EXPECT_THAT(machine.OpenHandles(), testing::IsEmpty()) << "call " << n;
    sim::SimMachine replay;
    EXPECT_NO_THROW(scenario::LoadMachine(capture, replay)) << "call " << n;
  }
}

// A folder and a message text in French keep their characters from the file to the
// machine's code page and back into a capture.
TEST(Capture, KeepsTheCharactersOfTexts) {
  sim::SimMachine machine;
  scenario::LoadMachine(DescriptionIn(std::string(SB_CAPTURE_MACHINES) + "/structured.json"),
                        machine);
  EXPECT_EQ(machine.volumes()[1].mount_paths.at(0),
            "E:\\Donn\xE9"
            "es\\");
  EXPECT_EQ(machine.FormatMessage(50),
            AsciiToText("Requ") + Char(0xEA) + AsciiToText("te non prise en charge."));
  const json capture = Captured(machine);
  EXPECT_EQ(capture.at("volumes")[1].at("mount_paths")[0], "E:\\Donn\u00e9es\\");
  EXPECT_EQ(capture.at("message_texts").at("50"), "Requ\u00eate non prise en charge.");
}

// What is not UTF-8 becomes U+FFFD, a character at a time; nothing is read past the text.
TEST(Capture, ReadsUtf8AsWindowsTexts) {
  const struct {
    const char* utf8;
    std::wstring wide;
  } cases[] = {
      {"C:\\", L"C:\\"},
      {"\xC3\xA9", L"\u00E9"},
      {"\xE2\x82\xAC", L"\u20AC"},
      {"\xF0\x9F\x92\xBE", L"\U0001F4BE"},
      {"\xC0\xAF", L"\uFFFD"},          // overlong
      {"\xED\xA0\x80", L"\uFFFD"},      // a surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD"},  // past U+10FFFF
      {"a\x80z", L"a\uFFFDz"},          // a stray continuation
      {"\xE2\x82", L"\uFFFD"},          // cut short at the end
      {"\xE2(", L"\uFFFD("},            // cut short by another character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(scenario::WideFromUtf8(c.utf8), c.wide) << c.utf8;
  }
  EXPECT_EQ(scenario::Utf8(scenario::WideFromUtf8("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC")),
            "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
}

}  // namespace
}  // namespace sb::capture
