// testdisk-ctl: the test disk driver's control device from the command line.
//
//   testdisk-ctl load FILE   replaces the driver's disks with the descriptions in FILE
//                            (written by testdisk-image) and empties the log
//   testdisk-ctl log         the requests the disks received since, one JSON object a line
//   testdisk-ctl stats       disks present, pool blocks held, requests logged
//   testdisk-ctl reset       removes every disk
//
// Exit status 0 on success, 1 when the driver refuses, 2 for a wrong command line or file.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/testdisk/control_client.h"
#include "tools/testdisk/disk_image.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk {
namespace {

int Refused(const char* what, const ControlClient& control) {
  std::fprintf(stderr, "testdisk-ctl: %s failed with error %u\n", what,
               static_cast<unsigned>(control.error()));
  return 1;
}

int Load(ControlClient& control, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "testdisk-ctl: %s cannot be read\n", path.c_str());
    return 2;
  }
  const Bytes image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<Bytes> descriptions;
  try {
    descriptions = SplitDescriptions(image);
  } catch (const DescriptionError& error) {
    std::fprintf(stderr, "testdisk-ctl: %s: %s\n", path.c_str(), error.what());
    return 2;
  }
  if (!control.Reset()) return Refused("reset", control);
  for (const Bytes& description : descriptions) {
    if (!control.AddDisk(description)) {
      std::fprintf(stderr, "testdisk-ctl: disk %u: ",
                   static_cast<unsigned>(ByteReader(description).U32(kDiskNumber)));
      return Refused("adding the disk", control);
    }
  }
  return 0;
}

int Log(ControlClient& control) {
  std::vector<LogEntry> entries;
  if (!control.ReadLog(entries)) return Refused("reading the log", control);
  for (const LogEntry& entry : entries) std::printf("%s\n", LogEntryJson(entry).c_str());
  return 0;
}

int Stats(ControlClient& control) {
  DriverStats stats;
  if (!control.ReadStats(stats)) return Refused("reading the counters", control);
  std::printf("{\"disks\":%u,\"allocations\":%u,\"log_entries\":%u}\n",
              static_cast<unsigned>(stats.disks), static_cast<unsigned>(stats.allocations),
              static_cast<unsigned>(stats.log_entries));
  return 0;
}

}  // namespace
}  // namespace sb::testdisk

int main(int argc, char** argv) {
  using namespace sb::testdisk;
  const std::string command = argc > 1 ? argv[1] : "";
  const bool known = (command == "load" && argc == 3) ||
                     ((command == "log" || command == "stats" || command == "reset") && argc == 2);
  if (!known) {
    std::fprintf(stderr, "usage: testdisk-ctl load FILE | log | stats | reset\n");
    return 2;
  }
  // Lines end in \n alone, as the scripts that read them expect.
  _setmode(_fileno(stdout), _O_BINARY);
  ControlClient control;
  if (!control.is_open()) {
    std::fprintf(stderr, "testdisk-ctl: the test disk driver is not running (error %u)\n",
                 static_cast<unsigned>(control.error()));
    return 1;
  }
  if (command == "load") return Load(control, argv[2]);
  if (command == "log") return Log(control);
  if (command == "stats") return Stats(control);
  return control.Reset() ? 0 : Refused("reset", control);
}
