// Native benchmarks of the portable logic on the simulated machine: the disk list fill
// with 16 present disks, one disk report and the volume listing with 16 volumes. They time
// the routines together with the simulated machine's own bookkeeping (its call log is
// emptied on every iteration so that it does not grow).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "disk/report.h"
#include "noop_view.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"
#include "ui/disk_list.h"
#include "volumes/volume_routines.h"

namespace sb::bench {
namespace {

constexpr std::int64_t kMiB = 1048576;

sim::Disk FullDisk(std::uint32_t number) {
  sim::Disk disk;
  disk.length = (1000 + number) * kMiB;
  disk.attributes = number % 4;
  disk.descriptor = sim::DescriptorBytes({.vendor = "ACME",
                                          .product = "Disk " + std::to_string(number),
                                          .revision = "1.0",
                                          .serial = "SN" + std::to_string(number),
                                          .removable = 0,
                                          .bus_type = 11});
  disk.geometry = sim::GeometryBytes(121601, 12, 255, 63, 512, disk.length);
  disk.layout = sim::MbrLayoutBytes(4, 0x1234ABCD + number);
  disk.cache = sim::CacheBytes(true, true);
  disk.predict_failure = sim::PredictFailureBytes(0);
  return disk;
}

void SixteenDisks(sim::SimMachine& machine) {
  for (std::uint32_t n = 0; n < 16; ++n) machine.AddDisk(n, FullDisk(n));
}

void BM_ListFill16Disks(benchmark::State& state) {
  sim::SimMachine machine;
  SixteenDisks(machine);
  NoopListView list;
  for (auto _ : state) {
    _Enum_Drives_lv(machine, list);
    benchmark::DoNotOptimize(list.RowCount());
    machine.ClearCalls();
  }
  if (list.RowCount() != 16) state.SkipWithError("the list does not hold 16 rows");
}
BENCHMARK(BM_ListFill16Disks);

void BM_DiskReport(benchmark::State& state) {
  sim::SimMachine machine;
  SixteenDisks(machine);
  NoopLines lines;
  const Text path = SB_T("\\\\.\\PhysicalDrive0");
  for (auto _ : state) {
    DiskInfoReport(machine, path, lines);
    benchmark::DoNotOptimize(lines.count());
    machine.ClearCalls();
  }
  if (lines.count() < 10) state.SkipWithError("the report is incomplete");
}
BENCHMARK(BM_DiskReport);

void BM_ListVolumes16(benchmark::State& state) {
  sim::SimMachine machine;
  SixteenDisks(machine);
  for (std::uint32_t n = 0; n < 16; ++n) {
    sim::Volume volume;
    volume.guid_name =
        "\\\\?\\Volume{0000000" + std::to_string(n) + "-1111-2222-3333-444455556666}\\";
    volume.device_name = "\\Device\\HarddiskVolume" + std::to_string(n + 1);
    volume.extents = {{.disk_number = n, .starting_offset = kMiB, .length = 900 * kMiB}};
    volume.mount_paths = {std::string(1, static_cast<char>('E' + n)) + ":\\"};
    machine.AddVolume(volume);
  }
  NoopDialogs dialogs;
  VolumeTable table;
  std::size_t count = 0;
  for (auto _ : state) {
    count = list_volumes(machine, dialogs, table);
    benchmark::DoNotOptimize(count);
    machine.ClearCalls();
  }
  if (count != 16 || dialogs.shown() != 0) state.SkipWithError("the table does not hold 16");
}
BENCHMARK(BM_ListVolumes16);

}  // namespace
}  // namespace sb::bench

BENCHMARK_MAIN();
