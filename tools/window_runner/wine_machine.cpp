#include "tools/window_runner/wine_machine.h"

#include <array>
#include <set>
#include <string>

#include "disk/device_path.h"
#include "platform/bytes.h"
#include "platform/handle.h"
#include "platform/records.h"
#include "platform/sim/sim_machine.h"
#include "tools/testdisk/protocol.h"
#include "volumes/volume_routines.h"
#include "tools/scenario/format_text.h"

namespace sb::window_runner {
namespace {

using nlohmann::json;

using scenario::CodeText;
std::string Hex(ConstBytes bytes) {
  return scenario::HexText(bytes);
}

// One request the program sends a disk: how it opens the disk for it, and its buffer.
struct DiskRequest {
  std::uint32_t code;
  std::uint32_t access;
  std::uint32_t share;
  std::size_t input_size;
  std::size_t output_size;
  const char* answer_key;  // the machine key of its answer bytes, or nullptr
};

constexpr std::uint32_t kRead = win::kGenericRead;
constexpr DiskRequest kDiskRequests[] = {
    {ioctl::kDiskGetLengthInfo, kRead, kShareReadWrite, 0, rec::kLengthInformationSize, nullptr},
    {ioctl::kDiskGetDiskAttributes, kRead, kShareReadWrite, 0, rec::kGetDiskAttributesSize,
     nullptr},
    {ioctl::kStorageQueryProperty, kRead, kShareReadWrite, rec::kStoragePropertyQuerySize,
     rec::kDescriptorBufferSize, "descriptor_hex"},
    {ioctl::kDiskGetDriveGeometryEx, 0, kShareReadWrite, 0, rec::kGeometryExRequestSize,
     "geometry_hex"},
    {ioctl::kDiskGetDriveLayoutEx, kRead, win::kFileShareRead, 0, rec::kLayoutBufferSize,
     "layout_hex"},
    {ioctl::kDiskGetCacheInformation, kRead, kShareReadWrite, 0, rec::kCacheInformationSize,
     "cache_hex"},
    {ioctl::kStoragePredictFailure, kRead, kShareReadWrite, 0, rec::kPredictFailureSize,
     "predict_failure_hex"},
};

// Disk 0 as Wine answers the program's requests. Answers are kept without their trailing
// zero bytes: the program zero-fills its buffers and never reads the count returned.
json WineDisk(Platform& platform, std::uint32_t number) {
  const Text path = DiskPath(DecUnsigned(number));
  json disk = {{"number", number}};
  for (const DiskRequest& request : kDiskRequests) {
    const UniqueHandle device = OpenExisting(platform, path, request.access, request.share);
    if (!device.valid()) return {{"number", number}, {"open_error", platform.GetLastError()}};
    const Bytes input(request.input_size, 0);
    Bytes output(request.output_size, 0);
    if (!platform.DeviceIoControl(device.get(), request.code, input, output)) {
      disk["failing"][CodeText(request.code)] = platform.GetLastError();
      // A disk that does not answer the attribute query does not take a change either.
      if (request.code == ioctl::kDiskGetDiskAttributes) disk["answers_attributes"] = false;
      continue;
    }
    const ByteReader answer(output);
    if (request.code == ioctl::kDiskGetLengthInfo) {
      disk["length"] = answer.I64(0);
    } else if (request.code == ioctl::kDiskGetDiskAttributes) {
      disk["attributes"] = answer.U64(rec::kGetDiskAttributesAttributes);
    } else {
      std::size_t kept = output.size();
      while (kept > 0 && output[kept - 1] == 0) --kept;
      disk[request.answer_key] = Hex(ConstBytes(output).first(kept));
    }
  }
  return disk;
}

json WineVolume(Platform& platform, const std::string& name) {
  json volume = {{"guid", name}, {"device", ""}, {"mount_paths", json::array()}};
  // The DOS-device name as the program asks for it: without \\?\ and the trailing backslash.
  if (name.size() > 5) {
    std::array<wchar_t, kDosDeviceLength + 1> target{};
    if (platform.QueryDosDeviceW(platform.AnsiToWide(name.substr(4, name.size() - 5)),
                                 std::span<wchar_t>(target).first(kDosDeviceLength)) != 0) {
      volume["device"] = platform.WideToAnsi(UpToFirstZero<wchar_t>(target));
    }
  }
  std::array<char, kVolumePathsLength + 1> paths{};
  if (platform.GetVolumePathNamesForVolumeNameA(name,
                                                std::span<char>(paths).first(kVolumePathsLength))) {
    for (std::size_t at = 0; at < paths.size() && paths[at] != '\0';) {
      const std::string path = UpToFirstZero<char>(std::span<const char>(paths).subspan(at));
      volume["mount_paths"].push_back(path);
      at += path.size() + 1;
    }
  }
  std::string device = name;
  if (!device.empty() && device.back() == '\\') device.pop_back();
  const UniqueHandle handle =
      OpenExisting(platform, AsciiToText(device), kRead | win::kGenericWrite, kShareReadWrite);
  if (!handle.valid()) {
    volume["open_error"] = platform.GetLastError();
    return volume;
  }
  std::array<std::uint8_t, rec::kVolumeExtentsBufferSize> buffer{};
  if (!platform.DeviceIoControl(handle.get(), ioctl::kVolumeGetVolumeDiskExtents, {}, buffer)) {
    volume["extents_error"] = platform.GetLastError();
    return volume;
  }
  const ByteReader extents(buffer);
  volume["extents"] = json::array();
  for (std::uint32_t i = 0; i < extents.U32(rec::kVolumeExtentsCount); ++i) {
    const std::size_t at = rec::kVolumeExtentsFirst + i * rec::kDiskExtentSize;
    if (!extents.Contains(at, rec::kDiskExtentSize)) break;
    volume["extents"].push_back({{"disk", extents.U32(at + rec::kDiskExtentDiskNumber)},
                                 {"offset", extents.I64(at + rec::kDiskExtentStartingOffset)},
                                 {"length", extents.I64(at + rec::kDiskExtentLength)}});
  }
  return volume;
}

json WineVolumes(Platform& platform) {
  json volumes = json::array();
  std::array<char, kVolumeNameBufferSize> name{};
  UniqueFindVolume find(platform, platform.FindFirstVolumeA(name));
  if (!find.valid()) return volumes;
  do {
    volumes.push_back(WineVolume(platform, UpToFirstZero<char>(name)));
  } while (platform.FindNextVolumeA(find.get(), name));
  return volumes;
}

// Every error code either machine can give: those the simulated machine has texts for,
// those the driver answers with, and those the description itself names.
std::set<std::uint32_t> ErrorCodes(const json& machine, const json& wine_disk,
                                   const json& wine_volumes) {
  std::set<std::uint32_t> codes = {0, 1, 2, 5, 6, 18, 21, 50, 87, 122, 145, 234};
  for (const auto& entry : testdisk::kStatusOfError) codes.insert(entry.error);
  auto add_errors = [&](const json& object) {
    for (const char* key : {"open_error", "extents_error"}) {
      if (object.contains(key) && object.at(key).is_number_unsigned()) {
        codes.insert(object.at(key).get<std::uint32_t>());
      }
    }
    if (object.contains("failing") && object.at("failing").is_object()) {
      for (const auto& [code, error] : object.at("failing").items()) {
        if (error.is_number_unsigned()) codes.insert(error.get<std::uint32_t>());
      }
    }
  };
  for (const json& disk : machine.value("disks", json::array())) add_errors(disk);
  for (const json& volume : machine.value("volumes", json::array())) add_errors(volume);
  add_errors(wine_disk);
  for (const json& volume : wine_volumes) add_errors(volume);
  return codes;
}

}  // namespace

json AsWineShowsIt(const json& scenario, Platform& platform) {
  const json& original = scenario.at("machine");
  json machine = json::object();
  machine["disks"] = json::array();
  const json wine_disk = WineDisk(platform, 0);
  machine["disks"].push_back(wine_disk);
  for (const json& disk : original.value("disks", json::array())) {
    if (disk.value("number", 0u) != 0) machine["disks"].push_back(disk);
  }
  machine["volumes"] = WineVolumes(platform);
  machine["message_texts"] = json::object();
  for (std::uint32_t code : ErrorCodes(original, wine_disk, machine["volumes"])) {
    machine["message_texts"][std::to_string(code)] = TextToAscii(platform.FormatMessage(code));
  }
  json actions = scenario.at("actions");
  for (json& action : actions) {
    if (action.value("do", "") == "arrive" && action.contains("volume") &&
        action.at("volume").is_object()) {
      action["volume"].erase("extents");
    }
  }
  return {{"machine", machine}, {"actions", actions}};
}

}  // namespace sb::window_runner
