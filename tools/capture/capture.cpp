#include "tools/capture/capture.h"

#include <algorithm>
#include <array>
#include <set>
#include <span>

#include "disk/device_path.h"
#include "platform/handle.h"
#include "platform/records.h"
#include "volumes/volume_routines.h"

namespace sb::capture {
namespace {

// The bytes a buffer holds, without the zero bytes at its end: the program zero-fills its
// buffers and never reads how many bytes came back, so trailing zeros carry nothing.
Bytes WithoutTrailingZeros(ConstBytes buffer) {
  std::size_t kept = buffer.size();
  while (kept > 0 && buffer[kept - 1] == 0) --kept;
  return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(kept));
}

// One request on an open handle, recorded as its answer or its error.
void Ask(Platform& platform, Handle device, std::uint32_t code, std::size_t input_size,
         std::size_t output_size, CapturedDisk& disk) {
  const Bytes input(input_size, 0);
  Bytes output(output_size, 0);
  // As before the failure-prediction query, so that an error read below is this request's.
  platform.SetLastError(win::kErrorSuccess);
  if (!platform.DeviceIoControl(device, code, input, output)) {
    disk.failing[code] = platform.GetLastError();
    return;
  }
  const ByteReader answer(output);
  if (code == ioctl::kDiskGetLengthInfo) {
    disk.length = answer.I64(0);
  } else if (code == ioctl::kDiskGetDiskAttributes) {
    disk.attributes = answer.U64(rec::kGetDiskAttributesAttributes);
  } else {
    disk.answers[code] = WithoutTrailingZeros(output);
  }
}

// One request on a handle of its own, opened as the program opens it for that request.
void OpenAndAsk(Platform& platform, std::uint32_t number, std::uint32_t access, std::uint32_t share,
                std::uint32_t code, std::size_t input_size, std::size_t output_size,
                CapturedDisk& disk) {
  const UniqueHandle device = OpenExisting(platform, DiskPath(DecUnsigned(number)), access, share);
  if (!device.valid()) {
    disk.failing[code] = platform.GetLastError();
    return;
  }
  Ask(platform, device.get(), code, input_size, output_size, disk);
}

// Windows' answer to an open of a disk number that has no device.
bool NoSuchDevice(std::uint32_t error) {
  constexpr std::uint32_t kErrorPathNotFound = 3;
  return error == win::kErrorFileNotFound || error == kErrorPathNotFound;
}

// The list of paths GetVolumePathNamesForVolumeNameA fills: names ended by a zero, the
// list ended by an empty name (or by the end of the buffer).
std::vector<std::string> PathList(std::span<const char> buffer) {
  std::vector<std::string> paths;
  for (std::size_t at = 0; at < buffer.size() && buffer[at] != '\0';) {
    std::string path = UpToFirstZero<char>(buffer.subspan(at));
    at += path.size() + 1;
    paths.push_back(std::move(path));
  }
  return paths;
}

std::vector<std::string> MountPaths(Platform& platform, const std::string& name,
                                    std::vector<std::string>& notes) {
  // The program's buffer and length first, so that a list that does not fit it fails here
  // as it fails there.
  std::array<char, kVolumePathsLength + 1> paths{};
  if (platform.GetVolumePathNamesForVolumeNameA(name,
                                                std::span<char>(paths).first(kVolumePathsLength))) {
    return PathList(paths);
  }
  if (platform.GetLastError() != win::kErrorMoreData) return {};
  // Longer than the program's buffer: asked again with room for all of it, so that the
  // replay holds the whole list and fails the program's call as Windows did.
  std::vector<char> longer(32768 + 1, '\0');
  if (platform.GetVolumePathNamesForVolumeNameA(name,
                                                std::span<char>(longer).first(longer.size() - 1))) {
    return PathList(longer);
  }
  notes.push_back("volume " + name + ": its mount paths could not be listed");
  return {};
}

std::string DeviceName(Platform& platform, const std::string& name) {
  // As the program asks: without \\?\ and the trailing backslash; a name too short to hold
  // more than those is not asked about.
  if (name.size() <= 5) return {};
  std::array<wchar_t, kDosDeviceLength + 1> target{};
  if (platform.QueryDosDeviceW(platform.AnsiToWide(name.substr(4, name.size() - 5)),
                               std::span<wchar_t>(target).first(kDosDeviceLength)) == 0) {
    return {};
  }
  return platform.WideToAnsi(UpToFirstZero<wchar_t>(target));
}

void ReadExtents(ConstBytes buffer, CapturedVolume& volume) {
  const ByteReader reader(buffer);
  const std::uint32_t count = reader.U32(rec::kVolumeExtentsCount);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = rec::kVolumeExtentsFirst + std::size_t{i} * rec::kDiskExtentSize;
    // A count larger than the answer: only the extents that lie in it are there to read.
    if (!reader.Contains(at, rec::kDiskExtentSize)) break;
    volume.extents.push_back({reader.U32(at + rec::kDiskExtentDiskNumber),
                              reader.I64(at + rec::kDiskExtentStartingOffset),
                              reader.I64(at + rec::kDiskExtentLength)});
  }
}

void Extents(Platform& platform, CapturedVolume& volume) {
  std::string device = volume.name;
  if (!device.empty() && device.back() == '\\') device.pop_back();
  // The program's open of a volume device, read and write access included: a volume that
  // refuses it must be recorded as refusing. Only the extent query is sent on it.
  const UniqueHandle handle = OpenExisting(platform, AnsiToText(platform, device),
                                           win::kGenericRead | win::kGenericWrite, kShareReadWrite);
  if (!handle.valid()) {
    volume.open_error = platform.GetLastError();
    // An error of 0 would read as "opens" in the description.
    if (volume.open_error == 0) volume.open_error = win::kErrorInvalidFunction;
    return;
  }
  std::array<std::uint8_t, rec::kVolumeExtentsBufferSize> buffer{};
  if (platform.DeviceIoControl(handle.get(), ioctl::kVolumeGetVolumeDiskExtents, {}, buffer)) {
    ReadExtents(buffer, volume);
    return;
  }
  const std::uint32_t error = platform.GetLastError();
  const std::uint32_t count = ByteReader(buffer).U32(rec::kVolumeExtentsCount);
  // More extents than the program's buffer holds: Windows gives their count; asked again
  // with room for them all, the replay fails the program's request just as Windows did.
  if (error == win::kErrorMoreData && count > 0 && count <= kMaxExtents) {
    Bytes all(rec::kVolumeExtentsFirst + std::size_t{count} * rec::kDiskExtentSize, 0);
    if (platform.DeviceIoControl(handle.get(), ioctl::kVolumeGetVolumeDiskExtents, {}, all)) {
      ReadExtents(all, volume);
      return;
    }
  }
  volume.extents_error = error == 0 ? win::kErrorInvalidFunction : error;
}

}  // namespace

std::optional<CapturedDisk> CaptureDisk(Platform& platform, std::uint32_t number,
                                        std::vector<std::string>& notes) {
  CapturedDisk disk;
  disk.number = number;
  {
    // The list's probe: the lower-case name, FILE_ATTRIBUTE_NORMAL, and the length on it.
    const UniqueHandle probe =
        OpenExisting(platform, AsciiToText("\\\\.\\physicaldrive" + std::to_string(number)),
                     win::kGenericRead, kShareReadWrite, win::kFileAttributeNormal);
    if (!probe.valid()) {
      const std::uint32_t error = platform.GetLastError();
      if (NoSuchDevice(error)) return std::nullopt;
      // An error of 0 would read as "opens" in the description.
      disk.open_error = error == 0 ? win::kErrorInvalidFunction : error;
      return disk;
    }
    Ask(platform, probe.get(), ioctl::kDiskGetLengthInfo, 0, rec::kLengthInformationSize, disk);
  }
  const std::uint32_t reading = win::kGenericRead;
  OpenAndAsk(platform, number, reading, kShareReadWrite, ioctl::kStorageQueryProperty,
             rec::kStoragePropertyQuerySize, rec::kDescriptorBufferSize, disk);
  OpenAndAsk(platform, number, reading, kShareReadWrite, ioctl::kDiskGetDiskAttributes, 0,
             rec::kGetDiskAttributesSize, disk);
  // The report's queries, in its order: the geometry on a handle without access rights,
  // then the report's own handle, with the layout opened (read sharing only) while it is
  // open, and the failure prediction on it.
  OpenAndAsk(platform, number, 0, kShareReadWrite, ioctl::kDiskGetDriveGeometryEx, 0,
             rec::kGeometryExRequestSize, disk);
  {
    const UniqueHandle report =
        OpenExisting(platform, DiskPath(DecUnsigned(number)), reading, kShareReadWrite);
    const std::uint32_t report_error = platform.GetLastError();
    if (report.valid()) {
      // The report asks the length again on its own handle. A description has one length
      // per disk: the list's is kept, and a different answer here is noted.
      CapturedDisk again;
      Ask(platform, report.get(), ioctl::kDiskGetLengthInfo, 0, rec::kLengthInformationSize, again);
      if (again.length != disk.length) {
        notes.push_back("disk " + std::to_string(number) +
                        ": the report's length query answered otherwise than the list's");
      }
    }
    OpenAndAsk(platform, number, reading, win::kFileShareRead, ioctl::kDiskGetDriveLayoutEx, 0,
               rec::kLayoutBufferSize, disk);
    if (report.valid()) {
      Ask(platform, report.get(), ioctl::kStoragePredictFailure, 0, rec::kPredictFailureSize, disk);
    } else {
      disk.failing[ioctl::kStoragePredictFailure] = report_error;
    }
  }
  OpenAndAsk(platform, number, reading, kShareReadWrite, ioctl::kDiskGetCacheInformation, 0,
             rec::kCacheInformationSize, disk);
  // A failure recorded with error 0 would not fail on replay: the request did fail.
  for (auto& [code, error] : disk.failing) {
    if (error == 0) error = win::kErrorInvalidFunction;
  }
  return disk;
}

std::vector<CapturedVolume> CaptureVolumes(Platform& platform, std::vector<std::string>& notes) {
  std::vector<CapturedVolume> volumes;
  std::array<char, kVolumeNameBufferSize> name{};
  UniqueFindVolume find(platform, platform.FindFirstVolumeA(name));
  if (!find.valid()) {
    if (platform.GetLastError() != win::kErrorNoMoreFiles) {
      notes.push_back("the volume enumeration did not start (error " +
                      std::to_string(platform.GetLastError()) + ")");
    }
    return volumes;
  }
  do {
    if (volumes.size() == kMaxVolumes) {
      notes.push_back("the volume enumeration did not end: only the first " +
                      std::to_string(kMaxVolumes) + " volumes are kept");
      break;
    }
    CapturedVolume volume;
    volume.name = UpToFirstZero<char>(name);
    if (volume.name.empty()) {
      // The program would list it, but a description names each volume.
      notes.push_back("a volume without a name is left out");
      continue;
    }
    volume.device = DeviceName(platform, volume.name);
    volume.mount_paths = MountPaths(platform, volume.name, notes);
    Extents(platform, volume);
    volumes.push_back(std::move(volume));
  } while (platform.FindNextVolumeA(find.get(), name));
  return volumes;
}

Capture CaptureMachine(Platform& platform) {
  Capture capture;
  for (std::uint32_t number = kFirstDisk; number <= kLastDisk; ++number) {
    if (auto disk = CaptureDisk(platform, number, capture.notes)) {
      if (disk->open_error != 0) {
        capture.notes.push_back("disk " + std::to_string(number) +
                                ": the open was refused (error " +
                                std::to_string(disk->open_error) + ")");
      }
      capture.disks.push_back(std::move(*disk));
    }
  }
  capture.volumes = CaptureVolumes(platform, capture.notes);
  // The errors a command or a query may end with, beside those the machine gave.
  std::set<std::uint32_t> codes = {1, 2, 5, 6, 19, 21, 31, 50, 87, 122, 234, 1117};
  for (const CapturedDisk& disk : capture.disks) {
    if (disk.open_error != 0) codes.insert(disk.open_error);
    for (const auto& [code, error] : disk.failing) codes.insert(error);
  }
  for (const CapturedVolume& volume : capture.volumes) {
    if (volume.open_error != 0) codes.insert(volume.open_error);
    if (volume.extents_error != 0) codes.insert(volume.extents_error);
  }
  for (const std::uint32_t code : codes) {
    Text text = platform.FormatMessage(code);
    if (!text.empty()) capture.message_texts[code] = std::move(text);
  }
  return capture;
}

}  // namespace sb::capture
