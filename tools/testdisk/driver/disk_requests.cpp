#include "tools/testdisk/driver/disk_requests.h"

#include "platform/records.h"
#include "platform/sim/disk_answer_rules.h"
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

// Answers a record request in the order of Windows' disk drivers
// (platform/sim/disk_answer_rules.h, the same checks the simulated machine makes): then the
// answer's bytes, whole or the part that fits, or none.
DiskResult AnswerRecord(const rules::RequestRule& rule, const Answer& answer, bool has_media,
                        const DiskRequest& request) {
  const rules::RecordVerdict verdict = rules::RecordRequestVerdict(
      rule, {.input_size = request.input.size(),
             .output_size = request.output.size(),
             .has_media = has_media,
             .has_answer = answer.found,
             .answer_size = answer.bytes.size(),
             .property_id = request.input.U32(rec::kPropertyQueryPropertyId),
             .query_type = request.input.U32(rec::kPropertyQueryQueryType)});
  if (verdict.error != 0) return FailWithError(verdict.error);
  if (!verdict.gives_answer) return {STATUS_SUCCESS, 0};
  ByteSink output = request.output;
  return {STATUS_SUCCESS, static_cast<std::uint32_t>(output.Copy(0, answer.bytes))};
}

DiskResult GetAttributes(const DiskSlot& disk, ByteSink output) {
  if (!(disk.flags & kDiskAnswersAttributes))
    return FailWithError(rules::kAttributesUnansweredError);
  if (output.size() < rules::kGetAttributesMinimumOutput)
    return FailWithError(rules::kErrorInsufficientBuffer);
  output.Zero(0, rec::kGetDiskAttributesSize);
  output.U32(rec::kGetDiskAttributesVersion, rec::kGetDiskAttributesSize);
  output.U64(rec::kGetDiskAttributesAttributes, disk.attributes);
  return {STATUS_SUCCESS, rec::kGetDiskAttributesSize};
}

// The bits under the mask take their values from the block; the change lasts until the
// driver's disks are replaced, whatever Persist asks.
DiskResult SetAttributes(DiskSlot& disk, ByteView block) {
  if (block.size() < rules::kSetAttributesMinimumInput ||
      block.U32(rec::kSetDiskAttributesVersion) != rules::kSetAttributesVersion) {
    return FailWithError(rules::kErrorInvalidParameter);
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
  return AnswerRecord(*rule, answer, !(disk.flags & kDiskWithoutMedia), request);
}

}  // namespace sb::testdisk::kernel
