// How Windows' own disk drivers answer each control request the program sends, as one table
// that both emulations of Windows follow: the simulated machine (platform/sim) and the test
// disk driver (tools/testdisk/driver). Where each rule comes from, and which rules are only
// assumed, is listed in tools/testdisk/RULES.md.
//
// The table, and the order in which the drivers check it, hold what they decide before an
// answer's bytes matter: the buffer a caller must give, the error of a device that has no
// answer, and the requests that a removable drive without media fails. Each emulation makes
// one call per request and only fetches and copies the bytes. It needs nothing beyond fixed-width
// integers, so the kernel-mode driver can read it too. Errors are Windows error codes; the driver
// sends the status Wine turns into each (tools/testdisk/protocol.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace sb::rules {

inline constexpr std::uint32_t kErrorInvalidFunction = 1;       // STATUS_INVALID_DEVICE_REQUEST
inline constexpr std::uint32_t kErrorNotReady = 21;             // STATUS_DEVICE_NOT_READY
inline constexpr std::uint32_t kErrorBadLength = 24;            // STATUS_INFO_LENGTH_MISMATCH
inline constexpr std::uint32_t kErrorNotSupported = 50;         // STATUS_NOT_SUPPORTED
inline constexpr std::uint32_t kErrorInvalidParameter = 87;     // STATUS_INVALID_PARAMETER
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;  // STATUS_BUFFER_TOO_SMALL
inline constexpr std::uint32_t kErrorMoreData = 234;            // STATUS_BUFFER_OVERFLOW

// When a removable drive without media fails a request with kErrorNotReady: never, after the
// output buffer was checked (the driver reads the capacity once the buffer is known to be
// big enough), or before it (the partition table is read before the buffer is looked at).
enum class WithoutMedia : std::uint8_t { kAnswers, kFailsAfterSizeCheck, kFailsBeforeSizeCheck };

struct RequestRule {
  std::uint32_t code;
  // The input a request must carry; a shorter one fails with short_input_error.
  std::size_t minimum_input;
  std::uint32_t short_input_error;
  // The output a caller must give; a smaller buffer fails with kErrorInsufficientBuffer.
  std::size_t minimum_output;
  // true: an answer larger than the buffer fails with kErrorInsufficientBuffer; false: the
  // part of the answer that fits is given.
  bool whole_or_nothing;
  // The error of a device that has no answer for the request.
  std::uint32_t unanswered_error;
  WithoutMedia without_media;
};

// IOCTL_STORAGE_QUERY_PROPERTY, the one record request with an input and a step of its own.
inline constexpr std::uint32_t kPropertyQueryCode = 0x002D1400;

// The disk requests whose answer is a record of bytes. The attribute get and set work on the
// disk's attribute word instead and have rules of their own below.
inline constexpr RequestRule kRecordRules[] = {
    // IOCTL_DISK_GET_LENGTH_INFO: GET_LENGTH_INFORMATION.
    {0x0007405C, 0, 0, 8, false, kErrorNotSupported, WithoutMedia::kFailsAfterSizeCheck},
    // IOCTL_DISK_GET_DRIVE_GEOMETRY_EX: never less than DISK_GEOMETRY and DiskSize (32).
    {0x000700A0, 0, 0, 32, false, kErrorNotSupported, WithoutMedia::kFailsAfterSizeCheck},
    // IOCTL_DISK_GET_DRIVE_LAYOUT_EX: the header (48) and every entry, or nothing.
    {0x00070050, 0, 0, 48, true, kErrorNotSupported, WithoutMedia::kFailsBeforeSizeCheck},
    // IOCTL_DISK_GET_CACHE_INFORMATION: DISK_CACHE_INFORMATION; no caching page: 50.
    {0x000740D4, 0, 0, 24, false, kErrorNotSupported, WithoutMedia::kAnswers},
    // IOCTL_STORAGE_PREDICT_FAILURE: STORAGE_PREDICT_FAILURE; no failure prediction: 1.
    {0x002D1100, 0, 0, 516, false, kErrorInvalidFunction, WithoutMedia::kAnswers},
    // IOCTL_STORAGE_QUERY_PROPERTY: a whole STORAGE_PROPERTY_QUERY (12) in, at least the
    // STORAGE_DESCRIPTOR_HEADER (8) out.
    {kPropertyQueryCode, 12, kErrorBadLength, 8, false, kErrorNotSupported, WithoutMedia::kAnswers},
};

constexpr const RequestRule* RecordRuleOf(std::uint32_t code) {
  for (const RequestRule& rule : kRecordRules) {
    if (rule.code == code) return &rule;
  }
  return nullptr;
}

// What a record request carries and finds, as far as the rules look at it.
struct RecordRequest {
  std::size_t input_size = 0;
  std::size_t output_size = 0;
  bool has_media = true;
  // Whether the device has an answer, and its size in bytes.
  bool has_answer = false;
  std::size_t answer_size = 0;
  // IOCTL_STORAGE_QUERY_PROPERTY only: PropertyId and QueryType of the query, read from the
  // input once it holds a whole STORAGE_PROPERTY_QUERY.
  std::uint32_t property_id = 0;
  std::uint32_t query_type = 0;
};

// The verdict on a record request: error is 0 when it succeeds; gives_answer then says
// whether the answer's bytes are copied (whole, or the part that fits the buffer) or none.
struct RecordVerdict {
  std::uint32_t error = 0;
  bool gives_answer = false;
};

// IOCTL_STORAGE_QUERY_PROPERTY, once its input holds: only the device property (PropertyId
// StorageDeviceProperty, 0) is described, and another property fails with
// kErrorNotSupported. Its existence query (QueryType PropertyExistsQuery, 1) succeeds with
// no bytes when the device has a descriptor and fails with kErrorNotSupported when not; any
// query type but that and the standard one (0) fails with kErrorInvalidParameter. The
// standard query goes on as any record request.

constexpr RecordVerdict PropertyQueryVerdict(std::uint32_t property_id, std::uint32_t query_type,
                                             bool has_descriptor) {
  if (property_id != 0) return {kErrorNotSupported, false};
  if (query_type == 0) return {0, true};
  if (query_type != 1) return {kErrorInvalidParameter, false};
  return {has_descriptor ? 0 : kErrorNotSupported, false};
}

// The order in which Windows' disk drivers check a record request: the input, the property
// query's own step, a drive without media that fails before the buffer is looked at, the
// output, a drive without media that fails after it, the device that has no answer, and an
// answer that must fit whole.
constexpr RecordVerdict RecordRequestVerdict(const RequestRule& rule,
                                             const RecordRequest& request) {
  if (request.input_size < rule.minimum_input) return {rule.short_input_error, false};
  if (rule.code == kPropertyQueryCode) {
    const RecordVerdict query =
        PropertyQueryVerdict(request.property_id, request.query_type, request.has_answer);
    if (query.error != 0 || !query.gives_answer) return query;
  }
  if (!request.has_media && rule.without_media == WithoutMedia::kFailsBeforeSizeCheck)
    return {kErrorNotReady, false};
  if (request.output_size < rule.minimum_output) return {kErrorInsufficientBuffer, false};
  if (!request.has_media && rule.without_media == WithoutMedia::kFailsAfterSizeCheck)
    return {kErrorNotReady, false};
  if (!request.has_answer) return {rule.unanswered_error, false};
  if (rule.whole_or_nothing && request.answer_size > request.output_size)
    return {kErrorInsufficientBuffer, false};
  return {0, true};
}

// IOCTL_DISK_GET_DISK_ATTRIBUTES and IOCTL_DISK_SET_DISK_ATTRIBUTES (assumed: no published
// driver answers them). The get needs a GET_DISK_ATTRIBUTES buffer (else
// kErrorInsufficientBuffer); the set needs a whole SET_DISK_ATTRIBUTES block whose Version
// is its size (else kErrorInvalidParameter), checked before whether the disk answers. A disk
// that does not answer them fails both with kErrorNotSupported. A drive without media
// answers.
inline constexpr std::size_t kGetAttributesMinimumOutput = 16;
inline constexpr std::size_t kSetAttributesMinimumInput = 40;
inline constexpr std::uint32_t kSetAttributesVersion = 40;
inline constexpr std::uint32_t kAttributesUnansweredError = kErrorNotSupported;

// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS: a buffer smaller than VOLUME_DISK_EXTENTS with one
// extent (32 bytes) fails with kErrorInvalidParameter; one that holds fewer extents than the
// volume has gets the count and the first extent and fails with kErrorMoreData.
inline constexpr std::size_t kVolumeExtentsMinimumOutput = 32;

// What a request that is not known fails with.
inline constexpr std::uint32_t kUnknownRequestError = kErrorInvalidFunction;

}  // namespace sb::rules
