// Golden scenarios: the scenario runner's output for each tests/scenarios/NAME.json must
// equal NAME.expected. Set SB_UPDATE_GOLDEN=1 to rewrite the expected files instead.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
  std::string output;
  int status = -1;
};

// Runs a runner (the 64-bit program's view by default) with arguments (already quoted) and
// collects its standard output.
Result RunRunner(const std::string& arguments, const char* runner = SB_SCENARIO_RUNNER) {
  const std::string command = std::string("'") + runner + "' " + arguments + " 2>/dev/null";
  Result result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer{};
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    result.output.append(buffer.data(), read);
  }
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Scenario(const std::string& name) {
  return std::string(SB_SCENARIO_DIR) + "/" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class GoldenScenario : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenScenario, OutputMatchesTheExpectedFile) {
  const std::string name = GetParam();
  const Result result = RunRunner("'" + Scenario(name + ".json") + "' --calls");
  ASSERT_EQ(result.status, 0) << result.output;
  const std::string expected_path = Scenario(name + ".expected");
  const char* update = std::getenv("SB_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(expected_path, std::ios::binary) << result.output;
  }
  EXPECT_EQ(result.output, ReadFile(expected_path));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenScenario,
                         ::testing::Values("offline_online", "properties", "read_write_refused",
                                           "gaps_four_commands", "gaps_properties", "kinds",
                                           "code_page"));

// What the 32-bit program shows differently by its own rules, written as the 64-bit one
// shows it: the report's attribute line, and the questions that begin with "Set ", which
// it asks with MessageBoxA.
std::string AsTheSixtyFourBitProgramShowsIt(const std::string& output) {
  std::istringstream lines(output);
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  | Attributes: ", 0) == 0) line = "  | Attributes: (the program's own)";
    const std::string narrow_box = "box [main, single-byte, ";
    if (line.rfind(narrow_box, 0) == 0 && line.find("] Quarrow: Set ") != std::string::npos) {
      line = "box [main, wide, " + line.substr(narrow_box.size());
    }
    out += line + "\n";
  }
  return out;
}

// Both programs show every scenario alike, texts with bytes of 0x80 and above (identifiers,
// folder mount points, message texts) included, and make the same calls with the same
// bytes, apart from what their rules make different.
class BothPrograms : public ::testing::TestWithParam<const char*> {};

TEST_P(BothPrograms, ShowTheScenarioAlike) {
  const std::string scenario = "'" + Scenario(std::string(GetParam()) + ".json") + "' --calls";
  const Result wide = RunRunner(scenario);
  const Result narrow = RunRunner(scenario, SB_SCENARIO_RUNNER_A);
  ASSERT_EQ(wide.status, 0);
  ASSERT_EQ(narrow.status, 0);
  ASSERT_NE(wide.output, "");
  EXPECT_EQ(AsTheSixtyFourBitProgramShowsIt(narrow.output),
            AsTheSixtyFourBitProgramShowsIt(wide.output));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BothPrograms,
                         ::testing::Values("offline_online", "properties", "read_write_refused",
                                           "gaps_four_commands", "gaps_properties", "kinds",
                                           "capacity", "code_page"));

// A change of disk 7 as the disk receives it: Version 40, Persist 0, Attributes and
// AttributesMask (8 bytes each, little-endian), 16 zero bytes.
std::string ChangeOfDisk7(int attributes, int mask) {
  char block[96];
  std::snprintf(block, sizeof block, "2800000000000000%02x00000000000000%02x00000000000000%s",
                attributes, mask, std::string(32, '0').c_str());
  return std::string("request: disk 7 0x0007C0F4 in ") + block + " out 0 -> ok";
}

// --requests ties each control request to the disk whose handle it was sent on: the four
// commands on disk 7, the fourth row, change disk 7 alone, with the blocks they must send.
TEST(ScenarioRunner, RequestsAreTiedToTheirDisks) {
  const Result result = RunRunner("'" + Scenario("gaps_four_commands.json") + "' --requests");
  ASSERT_EQ(result.status, 0);
  std::istringstream lines(result.output);
  std::vector<std::string> changes;
  for (std::string line; std::getline(lines, line);) {
    if (line.find(" 0x0007C0F4 ") != std::string::npos) changes.push_back(line);
  }
  const std::string offline = ChangeOfDisk7(1, 1);
  const std::string online = ChangeOfDisk7(0, 1);
  // Offline; Online; Read-Only and Read-Write, each with the offline and online cycle.
  const std::vector<std::string> expected = {
      offline, online, ChangeOfDisk7(2, 2), offline, online, ChangeOfDisk7(0, 2), offline, online};
  EXPECT_EQ(changes, expected);
}

TEST(ScenarioRunner, MalformedJsonExitsWithTwo) {
  EXPECT_EQ(RunRunner("'" + Scenario("malformed/not_json.json") + "'").status, 2);
}

TEST(ScenarioRunner, UnknownActionExitsWithTwoBeforeRunningAnything) {
  const Result result = RunRunner("'" + Scenario("malformed/unknown_action.json") + "'");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.output, "");
}

TEST(ScenarioRunner, WrongValueTypeInTheMachineExitsWithTwo) {
  EXPECT_EQ(RunRunner("'" + Scenario("malformed/bad_disk.json") + "'").status, 2);
}

TEST(ScenarioRunner, MissingFileOrArgumentsExitWithTwo) {
  EXPECT_EQ(RunRunner("'" + Scenario("malformed/absent.json") + "'").status, 2);
  EXPECT_EQ(RunRunner("").status, 2);
}

TEST(ScenarioRunner, SeparateMachineAndActionFilesAreAccepted) {
  const Result result = RunRunner("'" + Scenario("two_files/machine.json") + "' '" +
                                  Scenario("two_files/actions.json") + "'");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find("0|DISK|"), std::string::npos) << result.output;
}

}  // namespace
