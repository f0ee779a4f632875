// Control requests on the simulated machine's devices: what a disk and a volume answer,
// and the attribute changes and the notices they cause.
#include "platform/sim/sim_machine.h"

#include <algorithm>

#include "platform/records.h"

namespace sb::sim {
namespace {

// The access that a control code demands of its handle (bits 14 and 15 of the code).
bool HandleAllows(std::uint32_t code, std::uint32_t access) {
  const std::uint32_t required = (code >> 14) & 3;
  if ((required & 1) && !(access & (win::kGenericRead | win::kGenericWrite))) return false;
  if ((required & 1) && !(access & win::kGenericRead)) return false;
  if ((required & 2) && !(access & win::kGenericWrite)) return false;
  return true;
}

// Copies an answer into the caller's buffer. A buffer too small for the whole answer
// either takes the part that fits (the descriptor-style requests) or fails the request.
bool Answer(const Bytes& answer, MutableBytes output, bool must_fit, std::uint32_t& error) {
  if (answer.size() > output.size() && must_fit) {
    error = win::kErrorInsufficientBuffer;
    return false;
  }
  std::copy_n(answer.begin(), std::min(answer.size(), output.size()), output.begin());
  return true;
}

}  // namespace

bool SimMachine::DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                                 MutableBytes output) {
  const auto it = handles_.find(device);
  const std::string name = it == handles_.end() ? "invalid" : handle_names_.at(device);
  Call& call = Log({.op = "DeviceIoControl",
                    .target = name,
                    .code = code,
                    .in_size = input.size(),
                    .out_size = output.size(),
                    .input = Bytes(input.begin(), input.end())});
  if (it == handles_.end() || it->second.kind == Kind::kFind) {
    return Fail(call, win::kErrorInvalidHandle);
  }
  if (const auto fault = InjectedFault()) return Fail(call, *fault);
  const OpenHandle& open = it->second;
  if (!HandleAllows(code, open.access)) return Fail(call, win::kErrorAccessDenied);
  bool ok = false;
  switch (open.kind) {
    case Kind::kDisk: {
      Disk* target = disk(open.index);
      if (target == nullptr) return Fail(call, win::kErrorNotReady);  // the disk went away
      ok = DiskRequest(*target, open.index, open, code, input, output, call);
      break;
    }
    case Kind::kVolume:
      if (open.index >= volumes_.size()) return Fail(call, win::kErrorNotReady);
      ok = VolumeRequest(volumes_[open.index], code, output, call);
      break;
    default:
      return Fail(call, win::kErrorInvalidFunction);
  }
  if (ok) {
    call.ok = true;
    last_error_ = win::kErrorSuccess;
  }
  return ok;
}

// One short case per control request a simulated disk answers: read as a table.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
bool SimMachine::DiskRequest(Disk& disk, std::uint32_t number, const OpenHandle& /*handle*/,
                             std::uint32_t code, ConstBytes input, MutableBytes output,
                             Call& call) {
  if (const auto failing = disk.failing_requests.find(code);
      failing != disk.failing_requests.end()) {
    return Fail(call, failing->second);
  }
  std::uint32_t error = win::kErrorNotSupported;
  auto answer = [&](const std::optional<Bytes>& bytes, bool must_fit) {
    if (!bytes) return Fail(call, win::kErrorNotSupported);
    if (!Answer(*bytes, output, must_fit, error)) return Fail(call, error);
    return true;
  };
  switch (code) {
    case ioctl::kDiskGetLengthInfo: {
      if (!disk.answers_length) return Fail(call, win::kErrorNotSupported);
      if (output.size() < rec::kLengthInformationSize)
        return Fail(call, win::kErrorInsufficientBuffer);
      ByteWriter(output).I64(0, disk.length);
      return true;
    }
    case ioctl::kDiskGetDiskAttributes: {
      if (!disk.answers_attributes) return Fail(call, win::kErrorNotSupported);
      if (output.size() < rec::kGetDiskAttributesSize)
        return Fail(call, win::kErrorInsufficientBuffer);
      ByteWriter writer(output);
      writer.U32(rec::kGetDiskAttributesVersion, rec::kGetDiskAttributesSize);
      writer.U32(4, 0);
      writer.U64(rec::kGetDiskAttributesAttributes, disk.attributes);
      return true;
    }
    case ioctl::kDiskSetDiskAttributes: {
      const ByteReader block(input);
      if (block.size() < rec::kSetDiskAttributesSize ||
          block.U32(rec::kSetDiskAttributesVersion) != rec::kSetDiskAttributesSize) {
        return Fail(call, win::kErrorInvalidParameter);
      }
      if (!disk.answers_attributes) return Fail(call, win::kErrorNotSupported);
      const std::uint64_t mask = block.U64(rec::kSetDiskAttributesMask);
      const std::uint64_t wanted = block.U64(rec::kSetDiskAttributesAttributes);
      const std::uint64_t before = disk.attributes;
      disk.attributes = (before & ~mask) | (wanted & mask);
      const bool was_offline = before & 1;
      const bool is_offline = disk.attributes & 1;
      if (!was_offline && is_offline) QueueLetterNotices(win::kDbtDeviceRemoveComplete, number);
      if (was_offline && !is_offline) QueueLetterNotices(win::kDbtDeviceArrival, number);
      return true;
    }
    case ioctl::kStorageQueryProperty: {
      if (input.size() < rec::kStoragePropertyQuerySize)
        return Fail(call, win::kErrorInvalidParameter);
      return answer(disk.descriptor, false);
    }
    case ioctl::kDiskGetDriveGeometryEx:
      return answer(disk.geometry, false);
    case ioctl::kDiskGetDriveLayoutEx:
      return answer(disk.layout, true);
    case ioctl::kDiskGetCacheInformation:
      return answer(disk.cache, false);
    case ioctl::kStoragePredictFailure:
      return answer(disk.predict_failure, false);
    default:
      return Fail(call, win::kErrorInvalidFunction);
  }
}

bool SimMachine::VolumeRequest(const Volume& volume, std::uint32_t code, MutableBytes output,
                               Call& call) {
  if (code != ioctl::kVolumeGetVolumeDiskExtents) return Fail(call, win::kErrorInvalidFunction);
  if (volume.extents_error != 0) return Fail(call, volume.extents_error);
  const std::size_t needed =
      rec::kVolumeExtentsFirst + volume.extents.size() * rec::kDiskExtentSize;
  ByteWriter writer(output);
  writer.U32(rec::kVolumeExtentsCount, static_cast<std::uint32_t>(volume.extents.size()));
  // Like Windows, a buffer that holds the count but not every extent gets the count and
  // the request fails with ERROR_MORE_DATA.
  if (needed > output.size()) return Fail(call, win::kErrorMoreData);
  for (std::size_t i = 0; i < volume.extents.size(); ++i) {
    const std::size_t at = rec::kVolumeExtentsFirst + i * rec::kDiskExtentSize;
    writer.U32(at + rec::kDiskExtentDiskNumber, volume.extents[i].disk_number);
    writer.I64(at + rec::kDiskExtentStartingOffset, volume.extents[i].starting_offset);
    writer.I64(at + rec::kDiskExtentLength, volume.extents[i].length);
  }
  return true;
}

void SimMachine::QueueLetterNotices(std::uint32_t event, std::uint32_t disk_number) {
  for (const auto& volume : volumes_) {
    if (volume.extents.empty() || volume.extents.front().disk_number != disk_number) continue;
    for (const auto& path : volume.mount_paths) {
      if (const auto mask = UnitMaskOf(path)) notices_.push_back({event, mask});
    }
  }
}

}  // namespace sb::sim
