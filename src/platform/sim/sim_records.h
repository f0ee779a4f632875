// Builders of the raw answers that simulated devices give, in the platform's byte layouts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/bytes.h"

namespace sb::sim {

struct DescriptorFields {
  // Identifier strings as the device stores them; an empty string gives offset 0.
  std::string vendor{};
  std::string product{};
  std::string revision{};
  std::string serial{};
  std::uint8_t removable = 0;
  std::uint32_t bus_type = 0;
};

// A STORAGE_DEVICE_DESCRIPTOR followed by its zero-terminated identifier strings.
Bytes DescriptorBytes(const DescriptorFields& fields);

// The first 40 bytes of a DISK_GEOMETRY_EX.
Bytes GeometryBytes(std::int64_t cylinders, std::uint32_t media_type,
                    std::uint32_t tracks_per_cylinder, std::uint32_t sectors_per_track,
                    std::uint32_t bytes_per_sector, std::int64_t disk_size);

// A DRIVE_LAYOUT_INFORMATION_EX header with room for partition_count entries (zeroed).
Bytes MbrLayoutBytes(std::uint32_t partition_count, std::uint32_t signature);
Bytes GptLayoutBytes(std::uint32_t partition_count, const std::array<std::uint8_t, 16>& disk_id);
Bytes LayoutBytes(std::uint32_t style, std::uint32_t partition_count);

Bytes CacheBytes(bool read_cache_enabled, bool write_cache_enabled);
Bytes PredictFailureBytes(std::uint32_t predict_failure);

}  // namespace sb::sim
