// A run of the capture tool as the person who runs it meets it: every exit code, what it
// says, and what it writes where.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "spindlebay_version.h"
#include "tools/capture/capture_run.h"
#include "tools/scenario/machine_json.h"

namespace sb::capture {
namespace {

using testing::HasSubstr;
using testing::Not;

// An output that keeps what it is given in kept, or fails with an error of Windows'.
class KeptOutput : public Output {
 public:
  KeptOutput(std::string name, std::uint32_t error, std::string& kept)
      : name_(std::move(name)), error_(error), kept_(kept) {}
  std::uint32_t Write(std::string_view text) override {
    if (error_ == 0) kept_ += text;
    return error_;
  }
  std::string Name() const override { return name_; }

 private:
  std::string name_;
  std::uint32_t error_;
  std::string& kept_;
};

struct CaptureCase {
  const char* name;
  std::vector<std::string> arguments;
  std::uint32_t denied_disk;  // a disk whose open is refused with access denied; 0: none
  std::uint32_t write_error;  // the error of writing the description; 0: it is written
  int exit_code;
  std::vector<std::string> said;      // in the messages
  std::vector<std::string> not_said;  // not in the messages
  const char* written;                // in the output written (standard output or the file)
};

const CaptureCase kRuns[] = {
    {"Whole",
     {},
     0,
     0,
     kExitCaptured,
     {"1 disk, 0 volumes; serial numbers"},
     {"1 disks", "refused"},
     "\"format\": 1"},
    {"WholeToFile",
     {"--output", "machine.json"},
     0,
     0,
     kExitCaptured,
     {"1 disk,"},
     {},
     "\"disks\""},
    {"KeptIdentifiers",
     {"--keep-identifiers", "-o", "m.json"},
     0,
     0,
     kExitCaptured,
     {"identifiers kept as they are"},
     {},
     "\"captured_by\": \"spindlebay-capture " SB_VERSION "\""},
    {"Version",
     {"--version"},
     0,
     0,
     kExitCaptured,
     {},
     {},
     "spindlebay-capture " SB_VERSION " (machine format 1)"},
    {"Help", {"--help"}, 0, 0, kExitCaptured, {}, {}, "--output"},
    {"NotWritten",
     {"--output", "machine.json"},
     0,
     112,
     kExitFailed,
     {"could not be written to machine.json: There is not enough space on the disk (error 112)"},
     {"1 disk"},
     ""},
    {"NotWrittenWithoutText",
     {},
     0,
     9999,
     kExitFailed,
     {"could not be written to standard output: error 9999"},
     {},
     ""},
    {"UnknownArgument",
     {"--keep"},
     0,
     0,
     kExitUsage,
     {"unknown argument \"--keep\"", "usage:"},
     {},
     ""},
    {"OutputWithoutFile", {"--output"}, 0, 0, kExitUsage, {"--output needs a file name"}, {}, ""},
    {"AccessDenied",
     {"--output", "machine.json"},
     3,
     0,
     kExitAccessDenied,
     {"2 disks,", "refused to open disk 3 (access denied)",
      "machine.json is incomplete: do not send it", "Run as administrator"},
     {},
     "\"open_error\": 5"},
};

class CaptureRun : public testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureRun, ExitsWithItsCodeAndSaysWhy) {
  const CaptureCase& run = GetParam();
  sim::SimMachine machine;
  machine.AddDisk(0, sim::Disk{});
  if (run.denied_disk != 0) {
    sim::Disk denied;
    denied.open_error = win::kErrorAccessDenied;
    machine.AddDisk(run.denied_disk, denied);
  }
  machine.set_message_text(112, "There is not enough space on the disk.\r\n");
  std::string standard_text;
  KeptOutput standard_output("standard output", run.write_error, standard_text);
  std::string file_text;
  bool opened = false;
  const FileOpener open_file = [&](const std::string& name) -> std::unique_ptr<Output> {
    opened = true;
    return std::make_unique<KeptOutput>(name, run.write_error, file_text);
  };
  std::string messages;
  EXPECT_EQ(RunCapture(machine, run.arguments, standard_output, open_file, messages),
            run.exit_code);
  for (const std::string& text : run.said) EXPECT_THAT(messages, HasSubstr(text));
  for (const std::string& text : run.not_said) EXPECT_THAT(messages, Not(HasSubstr(text)));
  const std::string& written = opened ? file_text : standard_text;
  EXPECT_THAT(written, HasSubstr(run.written));
  if (opened) {
    EXPECT_EQ(standard_text, "");
  }
  if (written.starts_with("{")) {
    // A description written, whole or not, is one the loader takes.
    sim::SimMachine replay;
    std::ostringstream warnings;
    EXPECT_NO_THROW(
        scenario::LoadMachine(scenario::ParseJsonText(written, "written"), replay, warnings));
    EXPECT_EQ(warnings.str(), "");
  }
  EXPECT_THAT(machine.OpenHandles(), testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Runs, CaptureRun, testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sb::capture
