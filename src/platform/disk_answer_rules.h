// How Windows' own disk drivers answer each control request the program sends, as one table
// that both emulations of Windows follow: the simulated machine (platform/sim) and the test
// disk driver (tools/testdisk/driver). Where each rule comes from, and which rules are only
// assumed, is listed in tools/testdisk/RULES.md.
//
// The table holds what the drivers decide before an answer's bytes matter: the buffer a
// caller must give, the error of a device that has no answer, and the requests that a
// removable drive without media fails. It needs nothing beyond fixed-width integers, so the
// kernel-mode driver can read it too. Errors are Windows error codes; the driver sends the
// status Wine turns into each (tools/testdisk/protocol.h).
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
    {0x002D1400, 12, kErrorBadLength, 8, false, kErrorNotSupported, WithoutMedia::kAnswers},
};

constexpr const RequestRule* RecordRuleOf(std::uint32_t code) {
  for (const RequestRule& rule : kRecordRules) {
    if (rule.code == code) return &rule;
  }
  return nullptr;
}

// IOCTL_STORAGE_QUERY_PROPERTY, once its sizes hold: only the device property (PropertyId
// StorageDeviceProperty, 0) is described, and another property fails with
// kErrorNotSupported. Its existence query (QueryType PropertyExistsQuery, 1) succeeds with
// no bytes when the device has a descriptor and fails with kErrorNotSupported when not; any
// query type but that and the standard one (0) fails with kErrorInvalidParameter.
enum class PropertyQuery : std::uint8_t { kStandard, kExists, kOtherProperty, kBadQueryType };

constexpr PropertyQuery PropertyQueryOf(std::uint32_t property_id, std::uint32_t query_type) {
  if (property_id != 0) return PropertyQuery::kOtherProperty;
  if (query_type == 0) return PropertyQuery::kStandard;
  return query_type == 1 ? PropertyQuery::kExists : PropertyQuery::kBadQueryType;
}

// IOCTL_DISK_GET_DISK_ATTRIBUTES and IOCTL_DISK_SET_DISK_ATTRIBUTES (assumed: no published
// driver answers them). The get needs a 16-byte buffer (else kErrorInsufficientBuffer); the
// set needs a 40-byte block whose Version is 40 (else kErrorInvalidParameter). A disk that
// does not answer them fails both with kErrorNotSupported. A drive without media answers.
inline constexpr std::uint32_t kAttributesUnansweredError = kErrorNotSupported;

// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS: a buffer smaller than VOLUME_DISK_EXTENTS with one
// extent (32 bytes) fails with kErrorInvalidParameter; one that holds fewer extents than the
// volume has gets the count and the first extent and fails with kErrorMoreData.
inline constexpr std::size_t kVolumeExtentsMinimumOutput = 32;

// What a request that is not known fails with.
inline constexpr std::uint32_t kUnknownRequestError = kErrorInvalidFunction;

}  // namespace sb::rules
