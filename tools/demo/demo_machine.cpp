#include "tools/demo/demo_machine.h"

#include <nlohmann/json.hpp>

#include "tools/demo/kinds_json.h"
#include "tools/scenario/machine_json.h"

namespace sb::demo {
namespace {

constexpr std::uint32_t kStickKind = 3;
constexpr std::uint32_t kPluggedStick = 12;

std::string VolumeGuid(int n) {
  const std::string number = std::to_string(100 + n).substr(1);  // two digits
  return "\\\\?\\Volume{5b1d0c6e-8f3a-4c2d-9e7b-0000000000" + number + "}\\";
}

sim::Volume MakeVolume(int n, std::uint32_t disk, std::vector<std::string> mount_paths) {
  sim::Volume volume;
  volume.guid_name = VolumeGuid(n);
  volume.device_name = "\\Device\\HarddiskVolume" + std::to_string(n);
  volume.extents = {{disk, 1048576, 64 * 1048576}};
  volume.mount_paths = std::move(mount_paths);
  return volume;
}

}  // namespace

void BuildDemoMachine(sim::SimMachine& machine) {
  // The same file the golden scenario and the disks stage run, so the demo shows what is
  // tested; a file that does not load fails those tests first.
  scenario::LoadMachine(nlohmann::json::parse(kKindsJson), machine);
  machine.AddVolume(MakeVolume(1, 0, {"C:\\"}));
  machine.AddVolume(MakeVolume(2, 0, {}));  // the recovery volume has no drive letter
  machine.AddVolume(MakeVolume(3, 1, {"D:\\", "C:\\Data\\"}));
  machine.AddVolume(MakeVolume(4, 2, {"E:\\"}));
  machine.AddVolume(MakeVolume(5, 3, {"F:\\"}));
  machine.AddVolume(MakeVolume(6, 5, {"G:\\"}));
  machine.AddVolume(MakeVolume(7, 6, {"H:\\"}));
  machine.AddVolume(MakeVolume(8, 9, {"I:\\"}));
  machine.AddVolume(MakeVolume(9, 10, {}));  // on the offline disk: no drive letter
  machine.AddVolume(MakeVolume(10, 11, {"J:\\"}));
  sim::Volume dvd;
  dvd.guid_name = VolumeGuid(20);
  dvd.device_name = "\\Device\\CdRom0";
  dvd.mount_paths = {"R:\\"};
  machine.AddVolume(dvd);
  machine.ReserveLetter('Z');  // a network drive
}

void PlugInStick(sim::SimMachine& machine) {
  sim::SimMachine kinds;
  scenario::LoadMachine(nlohmann::json::parse(kKindsJson), kinds);
  machine.AddDisk(kPluggedStick, *kinds.disk(kStickKind));
  machine.ArriveVolume(MakeVolume(12, kPluggedStick, {"K:\\"}));
}

void PullOutStick(sim::SimMachine& machine) {
  machine.RemoveVolume(VolumeGuid(12));
  machine.RemoveDisk(kPluggedStick);
}

}  // namespace sb::demo
