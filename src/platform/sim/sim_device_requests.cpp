// Control requests on the simulated machine's devices: what a disk and a volume answer,
// and the attribute changes and the notices they cause.
#include "platform/sim/sim_machine.h"

#include <algorithm>

#include "platform/records.h"
#include "platform/sim/disk_answer_rules.h"

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

// The rules name the requests by the codes the program sends (a code without a rule would
// not be a constant expression here).
constexpr bool HasRule(std::uint32_t code) {
  return rules::RecordRuleOf(code)->code == code;
}
static_assert(HasRule(ioctl::kDiskGetLengthInfo) && HasRule(ioctl::kDiskGetDriveGeometryEx) &&
              HasRule(ioctl::kDiskGetDriveLayoutEx) && HasRule(ioctl::kDiskGetCacheInformation) &&
              HasRule(ioctl::kStoragePredictFailure) && HasRule(ioctl::kStorageQueryProperty) &&
              std::size(rules::kRecordRules) == 6);

static_assert(rules::kPropertyQueryCode == ioctl::kStorageQueryProperty &&
              rules::kGetAttributesMinimumOutput == rec::kGetDiskAttributesSize &&
              rules::kSetAttributesMinimumInput == rec::kSetDiskAttributesSize &&
              rules::kSetAttributesVersion == rec::kSetDiskAttributesSize);

// The raw answer a disk keeps for a record request other than the length; none for a code
// that is not a record request.
const std::optional<Bytes>* RecordOf(const Disk& disk, std::uint32_t code) {
  switch (code) {
    case ioctl::kStorageQueryProperty:
      return &disk.descriptor;
    case ioctl::kDiskGetDriveGeometryEx:
      return &disk.geometry;
    case ioctl::kDiskGetDriveLayoutEx:
      return &disk.layout;
    case ioctl::kDiskGetCacheInformation:
      return &disk.cache;
    case ioctl::kStoragePredictFailure:
      return &disk.predict_failure;
    default:
      return nullptr;
  }
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
  switch (code) {
    case ioctl::kDiskGetDiskAttributes: {
      if (!disk.answers_attributes) return Fail(call, rules::kAttributesUnansweredError);
      if (output.size() < rules::kGetAttributesMinimumOutput)
        return Fail(call, rules::kErrorInsufficientBuffer);
      ByteWriter writer(output);
      writer.U32(rec::kGetDiskAttributesVersion, rec::kGetDiskAttributesSize);
      writer.U32(4, 0);
      writer.U64(rec::kGetDiskAttributesAttributes, disk.attributes);
      return true;
    }
    case ioctl::kDiskSetDiskAttributes: {
      const ByteReader block(input);
      if (block.size() < rules::kSetAttributesMinimumInput ||
          block.U32(rec::kSetDiskAttributesVersion) != rules::kSetAttributesVersion) {
        return Fail(call, rules::kErrorInvalidParameter);
      }
      if (!disk.answers_attributes) return Fail(call, rules::kAttributesUnansweredError);
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
    default:
      break;
  }
  const rules::RequestRule* rule = rules::RecordRuleOf(code);
  if (rule == nullptr) return Fail(call, rules::kUnknownRequestError);
  std::optional<Bytes> answer;
  if (code == ioctl::kDiskGetLengthInfo) {
    if (disk.answers_length) {
      answer = Bytes(rec::kLengthInformationSize, 0);
      ByteWriter(*answer).I64(0, disk.length);
    }
  } else if (const std::optional<Bytes>* record = RecordOf(disk, code)) {
    answer = *record;
  }
  const ByteReader query(input);  // a read past the input yields 0
  const rules::RecordVerdict verdict =
      rules::RecordRequestVerdict(*rule, {.input_size = input.size(),
                                          .output_size = output.size(),
                                          .has_media = disk.has_media,
                                          .has_answer = answer.has_value(),
                                          .answer_size = answer ? answer->size() : 0,
                                          .property_id = query.U32(rec::kPropertyQueryPropertyId),
                                          .query_type = query.U32(rec::kPropertyQueryQueryType)});
  if (verdict.error != 0) return Fail(call, verdict.error);
  if (verdict.gives_answer) {
    std::copy_n(answer->begin(), std::min(answer->size(), output.size()), output.begin());
  }
  return true;
}

bool SimMachine::VolumeRequest(const Volume& volume, std::uint32_t code, MutableBytes output,
                               Call& call) {
  if (code != ioctl::kVolumeGetVolumeDiskExtents) return Fail(call, win::kErrorInvalidFunction);
  if (volume.extents_error != 0) return Fail(call, volume.extents_error);
  // Windows' rule: a buffer without room for the count and one extent is refused; one
  // without room for every extent gets the count and the first extent, and ERROR_MORE_DATA.
  if (output.size() < rules::kVolumeExtentsMinimumOutput)
    return Fail(call, rules::kErrorInvalidParameter);
  const std::size_t needed =
      rec::kVolumeExtentsFirst + volume.extents.size() * rec::kDiskExtentSize;
  const std::size_t fitting = needed > output.size()
                                  ? std::min<std::size_t>(volume.extents.size(), 1)
                                  : volume.extents.size();
  ByteWriter writer(output);
  writer.U32(rec::kVolumeExtentsCount, static_cast<std::uint32_t>(volume.extents.size()));
  for (std::size_t i = 0; i < fitting; ++i) {
    const std::size_t at = rec::kVolumeExtentsFirst + i * rec::kDiskExtentSize;
    writer.U32(at + rec::kDiskExtentDiskNumber, volume.extents[i].disk_number);
    writer.I64(at + rec::kDiskExtentStartingOffset, volume.extents[i].starting_offset);
    writer.I64(at + rec::kDiskExtentLength, volume.extents[i].length);
  }
  if (fitting < volume.extents.size()) return Fail(call, rules::kErrorMoreData);
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
