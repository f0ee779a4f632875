// Ties the control codes, statuses, record sizes and offsets the driver relies on to the
// kernel headers' own definitions. Nothing here runs: a mismatch stops the build.
#include <cstddef>

#include "platform/sim/disk_answer_rules.h"
#include "platform/platform.h"
#include "platform/records.h"
#include "tools/testdisk/driver/kernel.h"
#include "tools/testdisk/driver/sdk_additions.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk::kernel {
namespace {

// The disk requests the driver answers are the ones the program sends.
static_assert(ioctl::kDiskGetDiskAttributes == IOCTL_DISK_GET_DISK_ATTRIBUTES);
static_assert(ioctl::kDiskSetDiskAttributes == IOCTL_DISK_SET_DISK_ATTRIBUTES);
static_assert(ioctl::kDiskGetLengthInfo == IOCTL_DISK_GET_LENGTH_INFO);
static_assert(ioctl::kStorageQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(ioctl::kDiskGetDriveGeometryEx == IOCTL_DISK_GET_DRIVE_GEOMETRY_EX);
static_assert(ioctl::kDiskGetDriveLayoutEx == IOCTL_DISK_GET_DRIVE_LAYOUT_EX);
static_assert(ioctl::kDiskGetCacheInformation == IOCTL_DISK_GET_CACHE_INFORMATION);
static_assert(ioctl::kStoragePredictFailure == IOCTL_STORAGE_PREDICT_FAILURE);

// The control device's codes are CTL_CODE values.
static_assert(kAnyAccess == FILE_ANY_ACCESS && kReadAccess == FILE_READ_ACCESS &&
              kWriteAccess == FILE_WRITE_ACCESS);
static_assert(kControlReset == CTL_CODE(kControlDeviceType, 0x801, METHOD_BUFFERED,
                                        FILE_READ_ACCESS | FILE_WRITE_ACCESS));
static_assert(kControlReadLog ==
              CTL_CODE(kControlDeviceType, 0x804, METHOD_BUFFERED, FILE_READ_ACCESS));

// Statuses.
static_assert(kStatusSuccess == static_cast<std::uint32_t>(STATUS_SUCCESS));
static_assert(kStatusBufferOverflow == static_cast<std::uint32_t>(STATUS_BUFFER_OVERFLOW));
static_assert(kStatusUnsuccessful == static_cast<std::uint32_t>(STATUS_UNSUCCESSFUL));
static_assert(kStatusInfoLengthMismatch == static_cast<std::uint32_t>(STATUS_INFO_LENGTH_MISMATCH));
static_assert(kStatusInvalidParameter == static_cast<std::uint32_t>(STATUS_INVALID_PARAMETER));
static_assert(kStatusNoSuchDevice == static_cast<std::uint32_t>(STATUS_NO_SUCH_DEVICE));
static_assert(kStatusInvalidDeviceRequest ==
              static_cast<std::uint32_t>(STATUS_INVALID_DEVICE_REQUEST));
static_assert(kStatusAccessDenied == static_cast<std::uint32_t>(STATUS_ACCESS_DENIED));
static_assert(kStatusBufferTooSmall == static_cast<std::uint32_t>(STATUS_BUFFER_TOO_SMALL));
static_assert(kStatusRevisionMismatch == static_cast<std::uint32_t>(STATUS_REVISION_MISMATCH));
static_assert(kStatusDeviceDataError == static_cast<std::uint32_t>(STATUS_DEVICE_DATA_ERROR));
static_assert(kStatusMediaWriteProtected ==
              static_cast<std::uint32_t>(STATUS_MEDIA_WRITE_PROTECTED));
static_assert(kStatusDeviceNotReady == static_cast<std::uint32_t>(STATUS_DEVICE_NOT_READY));
static_assert(kStatusIoTimeout == static_cast<std::uint32_t>(STATUS_IO_TIMEOUT));
static_assert(kStatusNotSupported == static_cast<std::uint32_t>(STATUS_NOT_SUPPORTED));
static_assert(kStatusIoDeviceError == static_cast<std::uint32_t>(STATUS_IO_DEVICE_ERROR));

// Records.
static_assert(sizeof(GET_LENGTH_INFORMATION) == rec::kLengthInformationSize);
static_assert(offsetof(DISK_GEOMETRY_EX, DiskSize) == rec::kGeometryExDiskSize);
static_assert(offsetof(DISK_GEOMETRY_EX, Data) == rec::kGeometryExDiskSize + 8);
static_assert(sizeof(DISK_GEOMETRY_EX) == rec::kGeometryExRequestSize);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == rec::kLayoutHeaderSize);
static_assert(sizeof(PARTITION_INFORMATION_EX) == rec::kPartitionEntrySize);
static_assert(sizeof(DISK_CACHE_INFORMATION) == rec::kCacheInformationSize);
static_assert(sizeof(STORAGE_PREDICT_FAILURE) == rec::kPredictFailureSize);
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == rec::kStoragePropertyQuerySize);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, PropertyId) == rec::kPropertyQueryPropertyId);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, QueryType) == rec::kPropertyQueryQueryType);
static_assert(sizeof(STORAGE_DESCRIPTOR_HEADER) == kStorageDescriptorHeaderSize);
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == rec::kDescriptorHeaderSize);
constexpr bool Rejects(rules::RecordVerdict verdict, std::uint32_t error) {
  return verdict.error == error && !verdict.gives_answer;
}
static_assert(
    rules::PropertyQueryVerdict(StorageDeviceProperty, PropertyStandardQuery, true).gives_answer &&
    rules::PropertyQueryVerdict(StorageDeviceProperty, PropertyExistsQuery, true).error == 0 &&
    Rejects(rules::PropertyQueryVerdict(StorageAdapterProperty, PropertyStandardQuery, true),
            rules::kErrorNotSupported) &&
    Rejects(rules::PropertyQueryVerdict(StorageDeviceProperty, PropertyMaskQuery, true),
            rules::kErrorInvalidParameter));
static_assert(rules::kPropertyQueryCode == IOCTL_STORAGE_QUERY_PROPERTY);

// The rules both emulations follow: their codes, the records' sizes, and a status for every
// error they give.
static_assert(rules::RecordRuleOf(IOCTL_DISK_GET_LENGTH_INFO)->minimum_output ==
              sizeof(GET_LENGTH_INFORMATION));
static_assert(rules::RecordRuleOf(IOCTL_DISK_GET_DRIVE_GEOMETRY_EX)->minimum_output ==
              offsetof(DISK_GEOMETRY_EX, Data));
static_assert(rules::RecordRuleOf(IOCTL_DISK_GET_DRIVE_LAYOUT_EX)->minimum_output ==
              offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry));
static_assert(rules::RecordRuleOf(IOCTL_DISK_GET_CACHE_INFORMATION)->minimum_output ==
              sizeof(DISK_CACHE_INFORMATION));
static_assert(rules::RecordRuleOf(IOCTL_STORAGE_PREDICT_FAILURE)->minimum_output ==
              sizeof(STORAGE_PREDICT_FAILURE));
static_assert(rules::RecordRuleOf(IOCTL_STORAGE_QUERY_PROPERTY)->minimum_input ==
                  sizeof(STORAGE_PROPERTY_QUERY) &&
              rules::RecordRuleOf(IOCTL_STORAGE_QUERY_PROPERTY)->minimum_output ==
                  sizeof(STORAGE_DESCRIPTOR_HEADER));
constexpr bool EveryRuleErrorHasAStatus() {
  for (const rules::RequestRule& rule : rules::kRecordRules) {
    const std::uint32_t errors[] = {rule.short_input_error, rule.unanswered_error};
    for (std::uint32_t error : errors) {
      if (error != 0 && StatusOfErrorCode(error) == kStatusUnsuccessful) return false;
    }
  }
  const std::uint32_t fixed[] = {rules::kErrorNotReady,
                                 rules::kErrorInsufficientBuffer,
                                 rules::kAttributesUnansweredError,
                                 rules::kUnknownRequestError,
                                 rules::kErrorNotSupported,
                                 rules::kErrorInvalidParameter};
  for (std::uint32_t error : fixed) {
    if (StatusOfErrorCode(error) == kStatusUnsuccessful) return false;
  }
  return true;
}
static_assert(EveryRuleErrorHasAStatus());
static_assert(StatusOfErrorCode(rules::kErrorNotReady) == kStatusDeviceNotReady &&
              StatusOfErrorCode(rules::kErrorBadLength) == kStatusInfoLengthMismatch &&
              StatusOfErrorCode(rules::kErrorInvalidFunction) == kStatusInvalidDeviceRequest);

}  // namespace
}  // namespace sb::testdisk::kernel
