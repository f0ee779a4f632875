// The capture when every disk and volume call gets an arbitrary answer: short buffers,
// failing requests, offsets out of range, extents that do not fit. It must write a
// description the scenario runner loads, keep its promises about the description, and
// leave no handle open; with stand-ins and without.
#include <cstdint>
#include <set>

#include "fuzz_checks.h"
#include "hostile_platform.h"
#include "platform/sim/sim_machine.h"
#include "tools/capture/capture.h"
#include "tools/capture/machine_writer.h"
#include "tools/capture/stand_ins.h"
#include "tools/scenario/machine_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  fuzz::FuzzInput input(data, size);
  const bool keep_identifiers = input.Bool();
  fuzz::HostilePlatform platform(input);
  capture::Capture machine = capture::CaptureMachine(platform);
  platform.CheckHandles();
  if (!keep_identifiers) capture::StandIns().Apply(machine);

  std::set<std::uint32_t> numbers;
  for (const auto& disk : machine.disks) {
    fuzz::Require(disk.number <= capture::kLastDisk, "only disks 0 to 15 are captured");
    fuzz::Require(numbers.insert(disk.number).second, "each disk is captured once");
    for (const auto& [code, error] : disk.failing) {
      fuzz::Require(error != 0, "a failing request fails with an error");
    }
  }
  fuzz::Require(machine.volumes.size() <= capture::kMaxVolumes, "the volumes are bounded");

  // The description must parse as JSON and load as a machine.
  const std::string text = capture::MachineJson(machine, platform).dump(2);
  sim::SimMachine replay;
  try {
    scenario::LoadMachine(nlohmann::json::parse(text), replay);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n%s\n", error.what(), text.c_str());
    fuzz::Require(false, "the description loads");
  }
  return 0;
}
