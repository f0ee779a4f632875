#include "tools/testdisk/driver/disk_requests.h"

#include "platform/disk_answer_rules.h"
#include "platform/records.h"
#include "tools/testdisk/driver/description.h"
#include "tools/testdisk/driver/sdk_additions.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk::kernel {
namespace {

DiskResult Fail(NTSTATUS status) {
  return {status, 0};
}

DiskResult FailWithError(std::uint32_t error) {
  return Fail(static_cast<NTSTATUS>(StatusOfErrorCode(error)));
}

// Answers a record request as Windows' disk drivers do (platform/disk_answer_rules.h, the
// same table the simulated machine follows): the input and the output the request needs, a
// drive without media, the error of a device that has no answer; then the answer's bytes,
// whole or the part that fits.
DiskResult AnswerRecord(const rules::RequestRule& rule, const Answer& answer, bool has_media,
                        const DiskRequest& request) {
  if (request.input.size() < rule.minimum_input) return FailWithError(rule.short_input_error);
  if (!has_media && rule.without_media == rules::WithoutMedia::kFailsBeforeSizeCheck)
    return FailWithError(rules::kErrorNotReady);
  if (request.output.size() < rule.minimum_output)
    return FailWithError(rules::kErrorInsufficientBuffer);
  if (!has_media && rule.without_media == rules::WithoutMedia::kFailsAfterSizeCheck)
    return FailWithError(rules::kErrorNotReady);
  if (!answer.found) return FailWithError(rule.unanswered_error);
  if (rule.whole_or_nothing && answer.bytes.size() > request.output.size())
    return FailWithError(rules::kErrorInsufficientBuffer);
  ByteSink output = request.output;
  return {STATUS_SUCCESS, static_cast<std::uint32_t>(output.Copy(0, answer.bytes))};
}

// Only the device descriptor is described (rules::PropertyQueryOf).
DiskResult AnswerQueryProperty(const rules::RequestRule& rule, const Answer& answer,
                               const DiskRequest& request) {
  if (request.input.size() < rule.minimum_input) return FailWithError(rule.short_input_error);
  switch (rules::PropertyQueryOf(request.input.U32(rec::kPropertyQueryPropertyId),
                                 request.input.U32(rec::kPropertyQueryQueryType))) {
    case rules::PropertyQuery::kOtherProperty:
      return FailWithError(rules::kErrorNotSupported);
    case rules::PropertyQuery::kBadQueryType:
      return FailWithError(rules::kErrorInvalidParameter);
    case rules::PropertyQuery::kExists:
      if (!answer.found) return FailWithError(rules::kErrorNotSupported);
      return {STATUS_SUCCESS, 0};
    case rules::PropertyQuery::kStandard:
      break;
  }
  return AnswerRecord(rule, answer, true, request);
}

DiskResult GetAttributes(const DiskSlot& disk, ByteSink output) {
  if (!(disk.flags & kDiskAnswersAttributes))
    return FailWithError(rules::kAttributesUnansweredError);
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
  if (!(disk.flags & kDiskAnswersAttributes))
    return FailWithError(rules::kAttributesUnansweredError);
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
  const rules::RequestRule* rule = rules::RecordRuleOf(request.code);
  if (rule == nullptr) return FailWithError(rules::kUnknownRequestError);
  if (request.code == IOCTL_STORAGE_QUERY_PROPERTY) {
    return AnswerQueryProperty(*rule, answer, request);
  }
  return AnswerRecord(*rule, answer, !(disk.flags & kDiskWithoutMedia), request);
}

}  // namespace sb::testdisk::kernel
