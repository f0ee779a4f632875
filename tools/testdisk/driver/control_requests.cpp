#include "tools/testdisk/driver/control_requests.h"

#include "tools/testdisk/driver/disk_table.h"

namespace sb::testdisk::kernel {
namespace {

DiskResult ReadLog(DriverState& state, const DiskRequest& request) {
  if (request.input.size() < 4) return {STATUS_INVALID_PARAMETER, 0};
  const std::uint32_t first = request.input.U32(0);
  SpinLockGuard lock(state.lock);
  const std::size_t written = state.log.Read(first, request.output);
  if (written == 0) return {STATUS_BUFFER_TOO_SMALL, 0};
  return {STATUS_SUCCESS, static_cast<std::uint32_t>(written)};
}

DiskResult ReadStats(DriverState& state, ByteSink output) {
  if (output.size() < kStatsSize) return {STATUS_BUFFER_TOO_SMALL, 0};
  output.Zero(0, kStatsSize);
  SpinLockGuard lock(state.lock);
  std::uint32_t disks = 0;
  for (const DiskSlot& slot : state.disks) disks += slot.device != nullptr ? 1 : 0;
  output.U32(kStatsDisks, disks);
  output.U32(kStatsAllocations, static_cast<std::uint32_t>(state.allocations));
  output.U32(kStatsLogEntries, state.log.recorded());
  return {STATUS_SUCCESS, kStatsSize};
}

}  // namespace

DiskResult AnswerControlRequest(DriverState& state, const DiskRequest& request) {
  switch (request.code) {
    case kControlReset: {
      RemoveAllDisks(state);
      SpinLockGuard lock(state.lock);
      state.log.Clear();
      return {STATUS_SUCCESS, 0};
    }
    case kControlAddDisk:
      return {AddDisk(state, request.input), 0};
    case kControlRemoveDisk:
      if (request.input.size() < 4) return {STATUS_INVALID_PARAMETER, 0};
      return {RemoveDisk(state, request.input.U32(0)), 0};
    case kControlReadLog:
      return ReadLog(state, request);
    case kControlStats:
      return ReadStats(state, request.output);
    default:
      return {STATUS_INVALID_DEVICE_REQUEST, 0};
  }
}

}  // namespace sb::testdisk::kernel
