// spindlebay-capture: writes what this machine's disks and volumes answer the program, as a
// machine description of the scenario runner, to standard output.
//
//   spindlebay-capture.exe [--keep-identifiers] > machine.json
//
// It only reads: every disk is opened as the program opens it for a query, never for
// writing, and no request that changes a disk is sent.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tools/capture/capture.h"
#include "tools/capture/machine_writer.h"
#include "tools/capture/stand_ins.h"

namespace {

constexpr const char kUsage[] =
    "usage: spindlebay-capture [--keep-identifiers] > machine.json\n"
    "\n"
    "Writes what the disks 0 to 15 and the volumes of this machine answer Spindlebay, as a\n"
    "machine description, to standard output. Run it as administrator. It only reads.\n"
    "\n"
    "Serial numbers, disk identifiers (MBR signatures, GPT GUIDs) and volume GUIDs are\n"
    "replaced by stand-ins of the same length and form unless --keep-identifiers is given.\n";

}  // namespace

int main(int argc, char** argv) {
  bool keep_identifiers = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--keep-identifiers") {
      keep_identifiers = true;
    } else if (argument == "--help" || argument == "-h" || argument == "/?") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "spindlebay-capture: unknown argument \"%s\"\n\n%s", argument.c_str(),
                   kUsage);
      return 2;
    }
  }
  try {
    sb::Win32Platform platform;
    sb::capture::Capture capture = sb::capture::CaptureMachine(platform);
    if (!keep_identifiers) sb::capture::StandIns().Apply(capture);
    const std::string text = sb::capture::MachineJson(capture, platform).dump(2) + "\n";
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
      std::fputs("spindlebay-capture: the description could not be written\n", stderr);
      return 1;
    }
    bool refused = false;
    for (const std::string& note : capture.notes) {
      std::fprintf(stderr, "spindlebay-capture: note: %s\n", note.c_str());
    }
    for (const auto& disk : capture.disks) refused = refused || disk.open_error == 5;
    if (refused) {
      std::fputs(
          "spindlebay-capture: access was denied: run it from a command prompt opened as "
          "administrator\n",
          stderr);
    }
    std::fprintf(stderr, "spindlebay-capture: %zu disks, %zu volumes; %s\n", capture.disks.size(),
                 capture.volumes.size(),
                 keep_identifiers ? "identifiers kept as they are"
                                  : "serial numbers, disk identifiers and volume GUIDs replaced "
                                    "by stand-ins");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "spindlebay-capture: %s\n", error.what());
    return 1;
  }
}
