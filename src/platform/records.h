// Sizes and member offsets of the platform records that control requests exchange.
//
// The program reads and writes these records only through ByteReader and ByteWriter at the
// offsets below. The Win32 layer ties every value to the SDK's own structures with static
// asserts, so a mismatch stops the Windows build.
#pragma once

#include <cstddef>

namespace sb::rec {

// GET_DISK_ATTRIBUTES
inline constexpr std::size_t kGetDiskAttributesSize = 16;
inline constexpr std::size_t kGetDiskAttributesVersion = 0;
inline constexpr std::size_t kGetDiskAttributesAttributes = 8;

// SET_DISK_ATTRIBUTES
inline constexpr std::size_t kSetDiskAttributesSize = 40;
inline constexpr std::size_t kSetDiskAttributesVersion = 0;
inline constexpr std::size_t kSetDiskAttributesPersist = 4;
inline constexpr std::size_t kSetDiskAttributesAttributes = 8;
inline constexpr std::size_t kSetDiskAttributesMask = 16;

// GET_LENGTH_INFORMATION
inline constexpr std::size_t kLengthInformationSize = 8;

// STORAGE_PROPERTY_QUERY and the STORAGE_DEVICE_DESCRIPTOR it returns
inline constexpr std::size_t kStoragePropertyQuerySize = 12;
inline constexpr std::size_t kPropertyQueryPropertyId = 0;
inline constexpr std::size_t kPropertyQueryQueryType = 4;
inline constexpr std::size_t kDescriptorBufferSize = 4096;
inline constexpr std::size_t kDescriptorVersion = 0;
inline constexpr std::size_t kDescriptorSize = 4;
inline constexpr std::size_t kDescriptorRemovableMedia = 10;
inline constexpr std::size_t kDescriptorVendorIdOffset = 12;
inline constexpr std::size_t kDescriptorProductIdOffset = 16;
inline constexpr std::size_t kDescriptorProductRevisionOffset = 20;
inline constexpr std::size_t kDescriptorSerialNumberOffset = 24;
inline constexpr std::size_t kDescriptorBusType = 28;
inline constexpr std::size_t kDescriptorHeaderSize = 40;

// DISK_GEOMETRY_EX, of which the first 40 bytes are requested
inline constexpr std::size_t kGeometryExRequestSize = 40;
inline constexpr std::size_t kGeometryCylinders = 0;
inline constexpr std::size_t kGeometryMediaType = 8;
inline constexpr std::size_t kGeometryTracksPerCylinder = 12;
inline constexpr std::size_t kGeometrySectorsPerTrack = 16;
inline constexpr std::size_t kGeometryBytesPerSector = 20;
inline constexpr std::size_t kGeometryExDiskSize = 24;

// DRIVE_LAYOUT_INFORMATION_EX with room for 64 partition entries
inline constexpr std::size_t kLayoutHeaderSize = 48;
inline constexpr std::size_t kPartitionEntrySize = 144;
inline constexpr std::size_t kLayoutMaxEntries = 64;
inline constexpr std::size_t kLayoutBufferSize =
    kLayoutHeaderSize + kLayoutMaxEntries * kPartitionEntrySize;
inline constexpr std::size_t kLayoutPartitionStyle = 0;
inline constexpr std::size_t kLayoutPartitionCount = 4;
inline constexpr std::size_t kLayoutMbrSignature = 8;
inline constexpr std::size_t kLayoutGptDiskId = 8;
inline constexpr std::size_t kLayoutGptMaxPartitionCount = 40;
inline constexpr std::size_t kGuidSize = 16;

// DISK_CACHE_INFORMATION
inline constexpr std::size_t kCacheInformationSize = 24;
inline constexpr std::size_t kCacheReadCacheEnabled = 1;
inline constexpr std::size_t kCacheWriteCacheEnabled = 2;

// STORAGE_PREDICT_FAILURE
inline constexpr std::size_t kPredictFailureSize = 516;
inline constexpr std::size_t kPredictFailurePredictFailure = 0;

// VOLUME_DISK_EXTENTS in a 260-byte buffer (room for 10 DISK_EXTENT records)
inline constexpr std::size_t kVolumeExtentsBufferSize = 260;
inline constexpr std::size_t kVolumeExtentsCount = 0;
inline constexpr std::size_t kVolumeExtentsFirst = 8;
inline constexpr std::size_t kDiskExtentSize = 24;
inline constexpr std::size_t kDiskExtentDiskNumber = 0;
inline constexpr std::size_t kDiskExtentStartingOffset = 8;
inline constexpr std::size_t kDiskExtentLength = 16;

// DEV_BROADCAST_HDR and DEV_BROADCAST_VOLUME
inline constexpr std::size_t kBroadcastHdrSize = 12;
inline constexpr std::size_t kBroadcastDeviceType = 4;
inline constexpr std::size_t kBroadcastVolumeSize = 20;
inline constexpr std::size_t kBroadcastVolumeUnitMask = 12;
inline constexpr std::size_t kBroadcastVolumeFlags = 16;

}  // namespace sb::rec
