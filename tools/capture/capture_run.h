// One run of spindlebay-capture, apart from where its output goes: the arguments, the
// capture, the description written, and what the person running it is told. Portable, so
// that every exit code is tested on the simulated machine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace sb::capture {

// The tool's exit codes.
enum ExitCode : int {
  kExitCaptured = 0,      // the description is whole and written
  kExitFailed = 1,        // nothing usable was written
  kExitUsage = 2,         // an unknown argument
  kExitAccessDenied = 3,  // written, but a disk refused to open: not to be sent
};

struct Arguments {
  bool keep_identifiers = false;
  bool help = false;
  bool version = false;
  std::string output{};  // --output FILE; empty: standard output
  std::string error{};   // what was wrong with the arguments; empty when nothing was
};

Arguments ParseArguments(const std::vector<std::string>& arguments);

// The texts of --help and --version.
std::string UsageText();
std::string VersionText();

// Where the description goes: standard output or the file of --output.
class Output {
 public:
  virtual ~Output() = default;
  // Writes all of text; returns 0, or the Windows error code of the failure.
  virtual std::uint32_t Write(std::string_view text) = 0;
  // How the person running the tool knows it: "standard output" or the file's name.
  virtual std::string Name() const = 0;
};

// Makes the Output of --output FILE (the file is opened when it is written).
using FileOpener = std::function<std::unique_ptr<Output>(const std::string& name)>;

// The whole run: the help or the version, or the capture of the machine with its
// description written to standard_output or to the file of --output. What happened is added
// to messages, for standard error (a string: a stream would bring the C++ library's locale
// support, three times the tool's size, into the program). Returns the exit code.
int RunCapture(Platform& platform, const std::vector<std::string>& arguments,
               Output& standard_output, const FileOpener& open_file, std::string& messages);

}  // namespace sb::capture
