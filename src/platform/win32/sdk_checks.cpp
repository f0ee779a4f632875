// Ties every control code, record size and member offset that the program relies on to the
// SDK's own definitions. Nothing here runs: a mismatch stops the build.
#include "platform/win32/win32_api.h"
#include <dbt.h>
#include <winioctl.h>

#include <cstddef>

#include "platform/platform.h"
#include "platform/records.h"
#include "platform/win32/sdk_additions.h"

namespace sb {
namespace {

// Control codes.
static_assert(ioctl::kDiskGetDiskAttributes == IOCTL_DISK_GET_DISK_ATTRIBUTES);
static_assert(ioctl::kDiskSetDiskAttributes == IOCTL_DISK_SET_DISK_ATTRIBUTES);
static_assert(ioctl::kDiskGetLengthInfo == IOCTL_DISK_GET_LENGTH_INFO);
static_assert(ioctl::kStorageQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(ioctl::kDiskGetDriveGeometryEx == IOCTL_DISK_GET_DRIVE_GEOMETRY_EX);
static_assert(ioctl::kDiskGetDriveLayoutEx == IOCTL_DISK_GET_DRIVE_LAYOUT_EX);
static_assert(ioctl::kDiskGetCacheInformation == IOCTL_DISK_GET_CACHE_INFORMATION);
static_assert(ioctl::kStoragePredictFailure == IOCTL_STORAGE_PREDICT_FAILURE);
static_assert(ioctl::kVolumeGetVolumeDiskExtents == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS);

// Constants.
static_assert(win::kGenericRead == GENERIC_READ && win::kGenericWrite == GENERIC_WRITE);
static_assert(win::kFileShareRead == FILE_SHARE_READ && win::kFileShareWrite == FILE_SHARE_WRITE);
static_assert(win::kOpenExisting == OPEN_EXISTING);
static_assert(win::kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(win::kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(win::kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(win::kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(win::kErrorNoMoreFiles == ERROR_NO_MORE_FILES);
static_assert(win::kErrorNotReady == ERROR_NOT_READY);
static_assert(win::kErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(win::kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(win::kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(win::kErrorMoreData == ERROR_MORE_DATA);
static_assert(win::kErrorDirNotEmpty == ERROR_DIR_NOT_EMPTY);
static_assert(win::kMbOk == MB_OK && win::kMbYesNo == MB_YESNO &&
              win::kMbDefButton1 == MB_DEFBUTTON1);
static_assert(win::kIdOk == IDOK && win::kIdYes == IDYES && win::kIdNo == IDNO);
static_assert(win::kDbtDeviceArrival == DBT_DEVICEARRIVAL);
static_assert(win::kDbtDeviceRemoveComplete == DBT_DEVICEREMOVECOMPLETE);
static_assert(win::kDbtDevtypVolume == DBT_DEVTYP_VOLUME);

// Disk attribute records.
static_assert(sizeof(sdk::GET_DISK_ATTRIBUTES) == rec::kGetDiskAttributesSize);
static_assert(offsetof(sdk::GET_DISK_ATTRIBUTES, Version) == rec::kGetDiskAttributesVersion);
static_assert(offsetof(sdk::GET_DISK_ATTRIBUTES, Attributes) == rec::kGetDiskAttributesAttributes);
static_assert(sizeof(sdk::SET_DISK_ATTRIBUTES) == rec::kSetDiskAttributesSize);
static_assert(offsetof(sdk::SET_DISK_ATTRIBUTES, Version) == rec::kSetDiskAttributesVersion);
static_assert(offsetof(sdk::SET_DISK_ATTRIBUTES, Persist) == rec::kSetDiskAttributesPersist);
static_assert(offsetof(sdk::SET_DISK_ATTRIBUTES, Attributes) == rec::kSetDiskAttributesAttributes);
static_assert(offsetof(sdk::SET_DISK_ATTRIBUTES, AttributesMask) == rec::kSetDiskAttributesMask);
#ifndef SPINDLEBAY_OWN_DISK_ATTRIBUTES
// Where the SDK has the records, ours must match them.
static_assert(sizeof(::GET_DISK_ATTRIBUTES) == sizeof(sdk::GET_DISK_ATTRIBUTES));
static_assert(sizeof(::SET_DISK_ATTRIBUTES) == sizeof(sdk::SET_DISK_ATTRIBUTES));
static_assert(offsetof(::SET_DISK_ATTRIBUTES, AttributesMask) == rec::kSetDiskAttributesMask);
#endif

// Length.
static_assert(sizeof(GET_LENGTH_INFORMATION) == rec::kLengthInformationSize);

// Storage descriptor.
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == rec::kStoragePropertyQuerySize);
static_assert(StorageDeviceProperty == 0 && PropertyStandardQuery == 0);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Version) == rec::kDescriptorVersion);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Size) == rec::kDescriptorSize);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RemovableMedia) ==
              rec::kDescriptorRemovableMedia);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) ==
              rec::kDescriptorVendorIdOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) ==
              rec::kDescriptorProductIdOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset) ==
              rec::kDescriptorProductRevisionOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) ==
              rec::kDescriptorSerialNumberOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == rec::kDescriptorBusType);
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == rec::kDescriptorHeaderSize);
static_assert(BusTypeUsb == 7 && BusTypeSata == 11);

// Geometry.
static_assert(sizeof(DISK_GEOMETRY_EX) == rec::kGeometryExRequestSize);
static_assert(offsetof(DISK_GEOMETRY, Cylinders) == rec::kGeometryCylinders);
static_assert(offsetof(DISK_GEOMETRY, MediaType) == rec::kGeometryMediaType);
static_assert(offsetof(DISK_GEOMETRY, TracksPerCylinder) == rec::kGeometryTracksPerCylinder);
static_assert(offsetof(DISK_GEOMETRY, SectorsPerTrack) == rec::kGeometrySectorsPerTrack);
static_assert(offsetof(DISK_GEOMETRY, BytesPerSector) == rec::kGeometryBytesPerSector);
static_assert(offsetof(DISK_GEOMETRY_EX, DiskSize) == rec::kGeometryExDiskSize);
static_assert(FixedMedia == 12 && RemovableMedia == 11);

// Layout.
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionStyle) == rec::kLayoutPartitionStyle);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionCount) == rec::kLayoutPartitionCount);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, Mbr.Signature) == rec::kLayoutMbrSignature);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, Gpt.DiskId) == rec::kLayoutGptDiskId);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, Gpt.MaxPartitionCount) ==
              rec::kLayoutGptMaxPartitionCount);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == rec::kLayoutHeaderSize);
static_assert(sizeof(PARTITION_INFORMATION_EX) == rec::kPartitionEntrySize);
static_assert(sizeof(GUID) == rec::kGuidSize);
static_assert(PARTITION_STYLE_MBR == 0 && PARTITION_STYLE_GPT == 1 && PARTITION_STYLE_RAW == 2);

// Cache and failure prediction.
static_assert(sizeof(DISK_CACHE_INFORMATION) == rec::kCacheInformationSize);
static_assert(offsetof(DISK_CACHE_INFORMATION, ReadCacheEnabled) == rec::kCacheReadCacheEnabled);
static_assert(offsetof(DISK_CACHE_INFORMATION, WriteCacheEnabled) == rec::kCacheWriteCacheEnabled);
static_assert(sizeof(STORAGE_PREDICT_FAILURE) == rec::kPredictFailureSize);
static_assert(offsetof(STORAGE_PREDICT_FAILURE, PredictFailure) ==
              rec::kPredictFailurePredictFailure);

// Volume extents.
static_assert(offsetof(VOLUME_DISK_EXTENTS, NumberOfDiskExtents) == rec::kVolumeExtentsCount);
static_assert(offsetof(VOLUME_DISK_EXTENTS, Extents) == rec::kVolumeExtentsFirst);
static_assert(sizeof(DISK_EXTENT) == rec::kDiskExtentSize);
static_assert(offsetof(DISK_EXTENT, DiskNumber) == rec::kDiskExtentDiskNumber);
static_assert(offsetof(DISK_EXTENT, StartingOffset) == rec::kDiskExtentStartingOffset);
static_assert(offsetof(DISK_EXTENT, ExtentLength) == rec::kDiskExtentLength);

// Device-change broadcast.
static_assert(sizeof(DEV_BROADCAST_HDR) == rec::kBroadcastHdrSize);
static_assert(offsetof(DEV_BROADCAST_HDR, dbch_devicetype) == rec::kBroadcastDeviceType);
static_assert(sizeof(DEV_BROADCAST_VOLUME) == rec::kBroadcastVolumeSize);
static_assert(offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask) == rec::kBroadcastVolumeUnitMask);
static_assert(offsetof(DEV_BROADCAST_VOLUME, dbcv_flags) == rec::kBroadcastVolumeFlags);

}  // namespace
}  // namespace sb
