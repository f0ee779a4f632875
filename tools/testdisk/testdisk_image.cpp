// testdisk-image: a machine in the scenario runner's format (tools/scenario/FORMAT.md) as the
// disk descriptions the test disk driver takes, for `testdisk-ctl load`.
//
//   testdisk-image MACHINE.json OUT      (a machine, or a scenario with "machine")
//
// What the driver cannot be (Wine's disk 0, volumes, refused opens) is left out with a
// warning on standard error. Exit status 0, or 2 with a message for input it cannot use.
#include <cstdio>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "tools/scenario/machine_json.h"
#include "tools/testdisk/disk_image.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk {
namespace {

using nlohmann::json;

json ReadMachine(const std::string& path) {
  json document = scenario::ReadScenarioFile(path);
  if (document.is_object() && document.contains("machine")) return document.at("machine");
  return document;
}

int Run(const std::string& input, const std::string& output) {
  const json description = ReadMachine(input);
  sim::SimMachine machine;
  scenario::LoadMachine(description, machine);
  std::vector<std::string> warnings;
  for (const json& disk : description.value("disks", json::array())) {
    const auto number = disk.at("number").get<std::uint64_t>();
    if (number > kLastDisk) {
      warnings.push_back("disk " + std::to_string(number) +
                         " left out: the program lists disks 0 to 15");
    }
  }
  for (const char* key : {"reserved_letters", "message_texts"}) {
    if (description.contains(key)) {
      warnings.push_back(std::string(key) +
                         " left out: drive letters and message texts are Wine's");
    }
  }
  const Bytes image = DescribeMachine(machine, warnings);
  for (const std::string& warning : warnings) {
    std::fprintf(stderr, "testdisk-image: warning: %s\n", warning.c_str());
  }
  std::ofstream file(output, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  if (!file) throw scenario::InputError(output + ": cannot be written");
  return 0;
}

}  // namespace
}  // namespace sb::testdisk

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: testdisk-image MACHINE.json OUT\n");
    return 2;
  }
  try {
    return sb::testdisk::Run(argv[1], argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "testdisk-image: %s\n", error.what());
    return 2;
  }
}
