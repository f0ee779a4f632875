#include "tools/capture/machine_writer.h"

#include <cstdio>

#include "spindlebay_version.h"
#include "tools/scenario/format_text.h"
#include "tools/scenario/machine_format.h"
#include "tools/scenario/utf8_text.h"

namespace sb::capture {
namespace {

using nlohmann::ordered_json;

using scenario::CodeText;
using scenario::Utf8;
std::string Hex(ConstBytes bytes) {
  return scenario::HexText(bytes);
}

// The key of each answer kept as bytes.
const char* AnswerKey(std::uint32_t code) {
  switch (code) {
    case ioctl::kStorageQueryProperty:
      return "descriptor_hex";
    case ioctl::kDiskGetDriveGeometryEx:
      return "geometry_hex";
    case ioctl::kDiskGetDriveLayoutEx:
      return "layout_hex";
    case ioctl::kDiskGetCacheInformation:
      return "cache_hex";
    case ioctl::kStoragePredictFailure:
      return "predict_failure_hex";
    default:
      return nullptr;
  }
}

ordered_json DiskJson(const CapturedDisk& disk) {
  ordered_json json = {{"number", disk.number}};
  if (disk.open_error != 0) {
    json["open_error"] = disk.open_error;
    return json;
  }
  if (disk.length) json["length"] = *disk.length;
  if (disk.attributes) {
    json["attributes"] = *disk.attributes;
  } else {
    // A disk that does not answer the attribute query is taken not to take a change either.
    json["answers_attributes"] = false;
  }
  for (const std::uint32_t code :
       {ioctl::kStorageQueryProperty, ioctl::kDiskGetDriveGeometryEx, ioctl::kDiskGetDriveLayoutEx,
        ioctl::kDiskGetCacheInformation, ioctl::kStoragePredictFailure}) {
    if (const auto it = disk.answers.find(code); it != disk.answers.end()) {
      json[AnswerKey(code)] = Hex(it->second);
    }
  }
  if (!disk.failing.empty()) {
    ordered_json failing = ordered_json::object();
    for (const auto& [code, error] : disk.failing) failing[CodeText(code)] = error;
    json["failing"] = failing;
  }
  return json;
}

ordered_json VolumeJson(const CapturedVolume& volume, Platform& platform) {
  auto text = [&](const std::string& ansi) { return Utf8(platform.AnsiToWide(ansi)); };
  ordered_json json = {{"guid", text(volume.name)}, {"device", text(volume.device)}};
  json["mount_paths"] = ordered_json::array();
  for (const std::string& path : volume.mount_paths) json["mount_paths"].push_back(text(path));
  if (volume.open_error != 0) {
    json["open_error"] = volume.open_error;
    return json;
  }
  if (volume.extents_error != 0) {
    json["extents_error"] = volume.extents_error;
    return json;
  }
  json["extents"] = ordered_json::array();
  for (const CapturedExtent& extent : volume.extents) {
    json["extents"].push_back(
        {{"disk", extent.disk}, {"offset", extent.offset}, {"length", extent.length}});
  }
  return json;
}

}  // namespace

ordered_json MachineJson(const Capture& capture, Platform& platform) {
  ordered_json machine = ordered_json::object();
  machine["format"] = scenario::kMachineFormat;
  machine["captured_by"] = "spindlebay-capture " SB_VERSION;
  machine["disks"] = ordered_json::array();
  for (const CapturedDisk& disk : capture.disks) machine["disks"].push_back(DiskJson(disk));
  machine["volumes"] = ordered_json::array();
  for (const CapturedVolume& volume : capture.volumes) {
    machine["volumes"].push_back(VolumeJson(volume, platform));
  }
  if (!capture.message_texts.empty()) {
    machine["message_texts"] = ordered_json::object();
    for (const auto& [code, text] : capture.message_texts) {
#ifdef SPINDLEBAY_NARROW
      machine["message_texts"][std::to_string(code)] = Utf8(platform.AnsiToWide(text));
#else
      machine["message_texts"][std::to_string(code)] = Utf8(text);
#endif
    }
  }
  return machine;
}

}  // namespace sb::capture
