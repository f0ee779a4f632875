// The queries behind the disk information report: geometry, partition layout, cache
// settings and failure prediction.
//
// Each query sends one control request and hands the platform's answer back as a byte
// record of the platform's own size; the report reads the members it prints through
// ByteReader at the offsets of platform/records.h. Apart from GetDriveLayout, which raises,
// every query reports failure as false and never shows anything.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"
#include "platform/records.h"

namespace sb {

// The first 40 bytes of DISK_GEOMETRY_EX: DISK_GEOMETRY, DiskSize and the first data byte.
using GeometryBuffer = std::array<std::uint8_t, rec::kGeometryExRequestSize>;
// DRIVE_LAYOUT_INFORMATION_EX with room for 64 partition entries. A disk with more
// entries cannot be read into it.
using LayoutBuffer = std::array<std::uint8_t, rec::kLayoutBufferSize>;
// DISK_CACHE_INFORMATION.
using CacheInformation = std::array<std::uint8_t, rec::kCacheInformationSize>;
// STORAGE_PREDICT_FAILURE: PredictFailure and 512 bytes of vendor data.
using PredictFailureRecord = std::array<std::uint8_t, rec::kPredictFailureSize>;

// Drive parameters condensed from the geometry. The platform's form of this record is
// packed, each field right after the previous one: 30 bytes and a pointer-sized reserved
// field. The program never copies it as a block, so it is kept here with natural alignment.
struct TDriveParams {
  std::uint16_t param_size = 0;
  std::uint16_t info_flags = 0;
  std::uint32_t cylinders = 0;
  std::uint32_t heads = 0;
  std::uint32_t sectors_per_track = 0;
  std::uint64_t total_sectors = 0;
  std::uint16_t bytes_per_sector = 0;
  std::int64_t disk_size = 0;
  std::uintptr_t reserved = 0;

  bool operator==(const TDriveParams&) const = default;
};

// The length the record states for itself, whatever its layout in memory.
inline constexpr std::uint16_t kDriveParamsSize = 30;
// info_flags of a geometry whose media type is a removable or floppy format.
inline constexpr std::uint16_t kDriveParamsRemovableFlags = 4;

// Reads the geometry of "\\.\PhysicalDrive" + disk, opened with no access rights and
// read+write sharing. True exactly when the request succeeded.
bool GetDriveGeometry(Platform& platform, std::uint8_t disk, GeometryBuffer& geometry);

// Condenses the geometry of the disk into params. On false the record is left as it was.
bool GetDriveParams(Platform& platform, std::uint8_t disk, TDriveParams& params);

// Reads the partition layout of the disk at path, opened for reading with read sharing
// only. Returns true or raises Error("IOCTL_DISK_GET_DRIVE_LAYOUT_EX failed:" + Windows'
// message text for the request's error); the handle is closed before the error is raised.
bool GetDriveLayout(Platform& platform, const Text& path, LayoutBuffer& layout);

// Reads the cache settings of the disk at path (GENERIC_READ, read+write sharing). The
// record is not cleared first; after false it must not be read.
bool GetCacheInfo(Platform& platform, const Text& path, CacheInformation& cache);

// Asks the device behind the caller's handle whether it predicts a failure. The record
// is zero-filled first, so it reads as zero after false. The handle stays open.
bool GetPredictFailure(Platform& platform, Handle device, PredictFailureRecord& record);

// "True" or "False".
Text BoolText(bool value);

// The platform's message for an error code without its trailing line breaks, blanks,
// control characters and periods.
Text SystemMessageText(Platform& platform, std::uint32_t code);

}  // namespace sb
