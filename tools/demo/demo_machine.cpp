#include "tools/demo/demo_machine.h"

#include "platform/sim/sim_records.h"

namespace sb::demo {
namespace {

constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;

sim::Disk MakeDisk(const sim::DescriptorFields& identity, std::int64_t length,
                   std::uint32_t media_type) {
  sim::Disk disk;
  disk.length = length;
  disk.descriptor = sim::DescriptorBytes(identity);
  const std::int64_t cylinders = length / (255LL * 63 * 512);
  disk.geometry = sim::GeometryBytes(cylinders, media_type, 255, 63, 512, length);
  disk.cache = sim::CacheBytes(true, true);
  disk.predict_failure = sim::PredictFailureBytes(0);
  return disk;
}

std::string VolumeGuid(int n) {
  return "\\\\?\\Volume{5b1d0c6e-8f3a-4c2d-9e7b-00000000000" + std::to_string(n) + "}\\";
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
  sim::Disk system = MakeDisk({.vendor = "",
                               .product = "Samsung SSD 870 EVO 500GB",
                               .revision = "SVT02B6Q",
                               .serial = "533344334E5830373131373520202020",
                               .bus_type = 11},
                              500 * kGiB, 12);
  system.layout = sim::MbrLayoutBytes(4, 0x1A2B3C4D);
  machine.AddDisk(0, system);

  sim::Disk data = MakeDisk({.vendor = "ATA",
                             .product = "WDC WD40EFRX-68N32N0",
                             .revision = "82.00A82",
                             .serial = "     WD-WCC7K1234567",
                             .bus_type = 11},
                            4000 * kGiB, 12);
  data.layout = sim::GptLayoutBytes(3, {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE, 0x01, 0x23,
                                        0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF});
  machine.AddDisk(1, data);

  sim::Disk stick = MakeDisk({.vendor = "SanDisk",
                              .product = "Ultra Fit",
                              .revision = "1.00",
                              .serial = "4C530001230915117452",
                              .removable = 1,
                              .bus_type = 7},
                             32 * kGiB, 11);
  stick.layout = sim::MbrLayoutBytes(4, 0x00C0FFEE);
  stick.failing_requests[ioctl::kDiskGetCacheInformation] = win::kErrorInvalidFunction;
  machine.AddDisk(2, stick);

  sim::Disk backup = MakeDisk({.vendor = "TOSHIBA",
                               .product = "MG08ACA16TE",
                               .revision = "0102",
                               .serial = "X1B0A0001234",
                               .bus_type = 10},
                              16000 * kGiB, 12);
  backup.attributes = 1;  // offline
  backup.layout = sim::GptLayoutBytes(2, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                          0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00});
  machine.AddDisk(3, backup);

  sim::Disk archive = MakeDisk({.vendor = "",
                                .product = "Virtual Archive Disk",
                                .revision = "1.0",
                                .serial = "",
                                .bus_type = 9},
                               2000 * kGiB, 12);
  archive.attributes = 2;  // read-only
  archive.layout = sim::LayoutBytes(2, 0);
  machine.AddDisk(5, archive);

  // A disk behind a bridge that answers nothing but the open.
  sim::Disk broken;
  broken.answers_length = false;
  broken.answers_attributes = false;
  machine.AddDisk(6, broken);

  machine.AddVolume(MakeVolume(1, 0, {"C:\\"}));
  machine.AddVolume(MakeVolume(2, 0, {}));  // the recovery volume has no drive letter
  machine.AddVolume(MakeVolume(3, 1, {"D:\\", "C:\\Data\\"}));
  machine.AddVolume(MakeVolume(4, 2, {"E:\\"}));
  machine.AddVolume(MakeVolume(5, 3, {}));
  machine.AddVolume(MakeVolume(6, 5, {"F:\\"}));
  sim::Volume dvd;
  dvd.guid_name = VolumeGuid(9);
  dvd.device_name = "\\Device\\CdRom0";
  dvd.mount_paths = {"R:\\"};
  machine.AddVolume(dvd);
  machine.ReserveLetter('Z');  // a network drive
}

void PlugInStick(sim::SimMachine& machine) {
  machine.AddDisk(7, MakeDisk({.vendor = "Kingston",
                               .product = "DataTraveler 3.0",
                               .revision = "PMAP",
                               .serial = "E0D55EA573DCF450",
                               .removable = 1,
                               .bus_type = 7},
                              64 * kGiB, 11));
  machine.ArriveVolume(MakeVolume(7, 7, {"G:\\"}));
}

void PullOutStick(sim::SimMachine& machine) {
  machine.RemoveVolume(VolumeGuid(7));
  machine.RemoveDisk(7);
}

}  // namespace sb::demo
