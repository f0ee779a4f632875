#include "tools/testdisk/driver/disk_requests.h"

#include "platform/records.h"
#include "tools/testdisk/driver/description.h"
#include "tools/testdisk/driver/sdk_additions.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk::kernel {
namespace {

// How a request whose answer is a byte record treats the caller's output buffer, as the
// Windows disk and storage drivers do: a buffer that cannot hold the fixed part fails with
// STATUS_BUFFER_TOO_SMALL; beyond it, a variable answer either gives the part that fits
// (the descriptor, the geometry) or fails the same way unless it fits whole (the layout).
struct RecordRule {
  std::uint32_t code;
  std::size_t minimum_output;
  bool whole_or_nothing;
};

constexpr RecordRule kRecordRules[] = {
    {IOCTL_DISK_GET_LENGTH_INFO, rec::kLengthInformationSize, false},
    {IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, rec::kGeometryExDiskSize + 8, false},
    {IOCTL_DISK_GET_DRIVE_LAYOUT_EX, rec::kLayoutHeaderSize, true},
    {IOCTL_DISK_GET_CACHE_INFORMATION, rec::kCacheInformationSize, false},
    {IOCTL_STORAGE_PREDICT_FAILURE, rec::kPredictFailureSize, false},
    {IOCTL_STORAGE_QUERY_PROPERTY, kStorageDescriptorHeaderSize, false},
};

DiskResult Fail(NTSTATUS status) {
  return {status, 0};
}

DiskResult AnswerRecord(const RecordRule& rule, const Answer& answer, ByteSink output) {
  if (!answer.found) return Fail(STATUS_NOT_SUPPORTED);
  if (output.size() < rule.minimum_output) return Fail(STATUS_BUFFER_TOO_SMALL);
  if (rule.whole_or_nothing && answer.bytes.size() > output.size()) {
    return Fail(STATUS_BUFFER_TOO_SMALL);
  }
  return {STATUS_SUCCESS, static_cast<std::uint32_t>(output.Copy(0, answer.bytes))};
}

// Only the device descriptor is described; the other properties are not supported, and the
// existence query of the device property succeeds with no bytes.
DiskResult AnswerQueryProperty(const RecordRule& rule, const Answer& answer,
                               const DiskRequest& request) {
  if (request.input.size() < rec::kStoragePropertyQuerySize) {
    return Fail(STATUS_INVALID_PARAMETER);
  }
  const std::uint32_t property = request.input.U32(kPropertyQueryPropertyId);
  const std::uint32_t query = request.input.U32(kPropertyQueryQueryType);
  if (property != StorageDeviceProperty) return Fail(STATUS_NOT_SUPPORTED);
  if (query == PropertyExistsQuery)
    return {answer.found ? STATUS_SUCCESS : STATUS_NOT_SUPPORTED, 0};
  if (query != PropertyStandardQuery) return Fail(STATUS_INVALID_PARAMETER);
  return AnswerRecord(rule, answer, request.output);
}

DiskResult GetAttributes(const DiskSlot& disk, ByteSink output) {
  if (!(disk.flags & kDiskAnswersAttributes)) return Fail(STATUS_NOT_SUPPORTED);
  if (output.size() < rec::kGetDiskAttributesSize) return Fail(STATUS_BUFFER_TOO_SMALL);
  output.Zero(0, rec::kGetDiskAttributesSize);
  output.U32(rec::kGetDiskAttributesVersion, rec::kGetDiskAttributesSize);
  output.U64(rec::kGetDiskAttributesAttributes, disk.attributes);
  return {STATUS_SUCCESS, rec::kGetDiskAttributesSize};
}

// The bits under the mask take their values from the block; the change lasts until the
// driver's disks are replaced, whatever Persist asks.
DiskResult SetAttributes(DiskSlot& disk, ByteView block) {
  if (block.size() < rec::kSetDiskAttributesSize ||
      block.U32(rec::kSetDiskAttributesVersion) != rec::kSetDiskAttributesSize) {
    return Fail(STATUS_INVALID_PARAMETER);
  }
  if (!(disk.flags & kDiskAnswersAttributes)) return Fail(STATUS_NOT_SUPPORTED);
  const std::uint64_t mask = block.U64(rec::kSetDiskAttributesMask);
  const std::uint64_t wanted = block.U64(rec::kSetDiskAttributesAttributes);
  disk.attributes = (disk.attributes & ~mask) | (wanted & mask);
  return {STATUS_SUCCESS, 0};
}

}  // namespace

DiskResult AnswerDiskRequest(DiskSlot& disk, const DiskRequest& request) {
  const ByteView description(disk.description.data(), disk.description.size());
  const Answer answer = FindAnswer(description, request.code);
  // A failure given for a code wins over everything the request would otherwise get.
  if (answer.found && answer.failure != STATUS_SUCCESS) return Fail(answer.failure);
  switch (request.code) {
    case IOCTL_DISK_GET_DISK_ATTRIBUTES:
      return GetAttributes(disk, request.output);
    case IOCTL_DISK_SET_DISK_ATTRIBUTES:
      return SetAttributes(disk, request.input);
    default:
      break;
  }
  for (const RecordRule& rule : kRecordRules) {
    if (rule.code != request.code) continue;
    if (rule.code == IOCTL_STORAGE_QUERY_PROPERTY) {
      return AnswerQueryProperty(rule, answer, request);
    }
    return AnswerRecord(rule, answer, request.output);
  }
  return Fail(STATUS_INVALID_DEVICE_REQUEST);
}

}  // namespace sb::testdisk::kernel
