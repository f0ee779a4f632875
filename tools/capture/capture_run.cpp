#include "tools/capture/capture_run.h"

#include <exception>

#include "spindlebay_version.h"
#include "tools/capture/capture.h"
#include "tools/capture/machine_writer.h"
#include "tools/capture/stand_ins.h"
#include "tools/scenario/machine_format.h"

namespace sb::capture {
namespace {

constexpr const char kTool[] = "spindlebay-capture";

// Windows' message text of an error, on one line, with its number.
std::string Reason(Platform& platform, std::uint32_t error) {
  const Text text = platform.FormatMessage(error);
#ifdef SPINDLEBAY_NARROW
  std::string reason = text;
#else
  std::string reason = platform.WideToAnsi(text);
#endif
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  for (char& c : reason) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const std::string number = "error " + std::to_string(error);
  return reason.empty() ? number : reason + " (" + number + ")";
}

std::string Count(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& arguments) {
  Arguments parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--keep-identifiers") {
      parsed.keep_identifiers = true;
    } else if (argument == "--output" || argument == "-o") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        parsed.error = argument + " needs a file name";
        return parsed;
      }
      parsed.output = arguments[++i];
    } else if (argument == "--version") {
      parsed.version = true;
    } else if (argument == "--help" || argument == "-h" || argument == "/?") {
      parsed.help = true;
    } else {
      parsed.error = "unknown argument \"" + argument + "\"";
      return parsed;
    }
  }
  return parsed;
}

std::string UsageText() {
  return "usage: spindlebay-capture [--keep-identifiers] --output machine.json\n"
         "       spindlebay-capture [--keep-identifiers] > machine.json\n"
         "       spindlebay-capture --version\n"
         "\n"
         "Writes what the disks 0 to 15 and the volumes of this machine answer Spindlebay, as a\n"
         "machine description in UTF-8, to FILE (--output FILE) or to standard output. Run it\n"
         "from a prompt opened as administrator. It only reads.\n"
         "\n"
         "Serial numbers, disk identifiers (MBR signatures, GPT GUIDs) and volume GUIDs are\n"
         "replaced by stand-ins of the same length and form unless --keep-identifiers is given;\n"
         "give it only when the Spindlebay project asks for it.\n"
         "\n"
         "Exit codes: 0 written and whole; 1 failed; 2 unknown argument; 3 written, but Windows\n"
         "refused to open a disk (access denied): the description is incomplete.\n";
}

std::string VersionText() {
  return std::string(kTool) + " " + SB_VERSION + " (machine format " +
         std::to_string(scenario::kMachineFormat) + ")\n";
}

int RunCapture(Platform& platform, const std::vector<std::string>& arguments,
               Output& standard_output, const FileOpener& open_file, std::string& messages) {
  const auto say = [&messages](const std::string& line) {
    messages += std::string(kTool) + ": " + line + "\n";
  };
  const Arguments parsed = ParseArguments(arguments);
  if (!parsed.error.empty()) {
    say(parsed.error + "\n\n" + UsageText());
    return kExitUsage;
  }
  if (parsed.help || parsed.version) {
    const std::string text = parsed.help ? UsageText() : VersionText();
    return standard_output.Write(text) == 0 ? kExitCaptured : kExitFailed;
  }
  try {
    std::unique_ptr<Output> file = parsed.output.empty() ? nullptr : open_file(parsed.output);
    Output& output = file ? *file : standard_output;
    Capture capture = CaptureMachine(platform);
    if (!parsed.keep_identifiers) StandIns().Apply(capture);
    const std::string text = MachineJson(capture, platform).dump(2) + "\n";
    if (const std::uint32_t error = output.Write(text); error != 0) {
      say("the description could not be written to " + output.Name() + ": " +
          Reason(platform, error));
      return kExitFailed;
    }
    for (const std::string& note : capture.notes) say("note: " + note);
    std::string denied;
    std::size_t denied_count = 0;
    for (const CapturedDisk& disk : capture.disks) {
      if (disk.open_error != win::kErrorAccessDenied) continue;
      denied += (denied.empty() ? "" : ", ") + std::to_string(disk.number);
      ++denied_count;
    }
    say(Count(capture.disks.size(), "disk", "disks") + ", " +
        Count(capture.volumes.size(), "volume", "volumes") + "; " +
        (parsed.keep_identifiers
             ? "identifiers kept as they are"
             : "serial numbers, disk identifiers and volume GUIDs replaced by stand-ins"));
    if (denied_count == 0) return kExitCaptured;
    say("Windows refused to open " + std::string(denied_count == 1 ? "disk " : "disks ") + denied +
        " (access denied). The description in " + output.Name() +
        " is incomplete: do not send it.");
    say("Run the tool as administrator: right-click Command Prompt or Windows PowerShell, "
        "choose \"Run as administrator\", go to the tool's folder with cd, and run it again.");
    return kExitAccessDenied;
  } catch (const std::exception& error) {
    say(error.what());
    return kExitFailed;
  }
}

}  // namespace sb::capture
