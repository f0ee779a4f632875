#include "platform/sim/sim_records.h"

#include <algorithm>

#include "platform/records.h"

namespace sb::sim {

Bytes DescriptorBytes(const DescriptorFields& fields) {
  Bytes bytes(rec::kDescriptorHeaderSize, 0);
  auto append = [&](const std::string& text) -> std::uint32_t {
    if (text.empty()) return 0;
    const auto offset = static_cast<std::uint32_t>(bytes.size());
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return offset;
  };
  const std::uint32_t vendor = append(fields.vendor);
  const std::uint32_t product = append(fields.product);
  const std::uint32_t revision = append(fields.revision);
  const std::uint32_t serial = append(fields.serial);
  ByteWriter writer(bytes);
  writer.U32(rec::kDescriptorVersion, static_cast<std::uint32_t>(rec::kDescriptorHeaderSize));
  writer.U32(rec::kDescriptorSize, static_cast<std::uint32_t>(bytes.size()));
  writer.U8(rec::kDescriptorRemovableMedia, fields.removable);
  writer.U32(rec::kDescriptorVendorIdOffset, vendor);
  writer.U32(rec::kDescriptorProductIdOffset, product);
  writer.U32(rec::kDescriptorProductRevisionOffset, revision);
  writer.U32(rec::kDescriptorSerialNumberOffset, serial);
  writer.U32(rec::kDescriptorBusType, fields.bus_type);
  return bytes;
}

Bytes GeometryBytes(std::int64_t cylinders, std::uint32_t media_type,
                    std::uint32_t tracks_per_cylinder, std::uint32_t sectors_per_track,
                    std::uint32_t bytes_per_sector, std::int64_t disk_size) {
  Bytes bytes(rec::kGeometryExRequestSize, 0);
  ByteWriter writer(bytes);
  writer.I64(rec::kGeometryCylinders, cylinders);
  writer.U32(rec::kGeometryMediaType, media_type);
  writer.U32(rec::kGeometryTracksPerCylinder, tracks_per_cylinder);
  writer.U32(rec::kGeometrySectorsPerTrack, sectors_per_track);
  writer.U32(rec::kGeometryBytesPerSector, bytes_per_sector);
  writer.I64(rec::kGeometryExDiskSize, disk_size);
  return bytes;
}

Bytes LayoutBytes(std::uint32_t style, std::uint32_t partition_count) {
  const std::size_t entries = std::min<std::size_t>(partition_count, 4096);
  Bytes bytes(rec::kLayoutHeaderSize + entries * rec::kPartitionEntrySize, 0);
  ByteWriter writer(bytes);
  writer.U32(rec::kLayoutPartitionStyle, style);
  writer.U32(rec::kLayoutPartitionCount, partition_count);
  return bytes;
}

Bytes MbrLayoutBytes(std::uint32_t partition_count, std::uint32_t signature) {
  Bytes bytes = LayoutBytes(0, partition_count);
  ByteWriter(bytes).U32(rec::kLayoutMbrSignature, signature);
  return bytes;
}

Bytes GptLayoutBytes(std::uint32_t partition_count, const std::array<std::uint8_t, 16>& disk_id) {
  Bytes bytes = LayoutBytes(1, partition_count);
  std::copy(disk_id.begin(), disk_id.end(), bytes.begin() + rec::kLayoutGptDiskId);
  return bytes;
}

Bytes CacheBytes(bool read_cache_enabled, bool write_cache_enabled) {
  Bytes bytes(rec::kCacheInformationSize, 0);
  ByteWriter writer(bytes);
  writer.U8(rec::kCacheReadCacheEnabled, read_cache_enabled ? 1 : 0);
  writer.U8(rec::kCacheWriteCacheEnabled, write_cache_enabled ? 1 : 0);
  return bytes;
}

Bytes PredictFailureBytes(std::uint32_t predict_failure) {
  Bytes bytes(rec::kPredictFailureSize, 0);
  ByteWriter(bytes).U32(rec::kPredictFailurePredictFailure, predict_failure);
  return bytes;
}

}  // namespace sb::sim
