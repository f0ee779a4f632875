#include "platform/sim/sim_machine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/records.h"

namespace sb::sim {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The disk number of "\\.\PhysicalDriveN" in either letter case, written in canonical
// decimal as the object manager names it.
std::optional<std::uint32_t> DiskNumberOf(const std::string& path) {
  static const std::string kPrefix = "\\\\.\\physicaldrive";
  const std::string lower = Lower(path);
  if (lower.rfind(kPrefix, 0) != 0) return std::nullopt;
  const std::string digits = lower.substr(kPrefix.size());
  if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) {
    return std::nullopt;
  }
  std::uint32_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return number;
}

// The access that a control code demands of its handle (bits 14 and 15 of the code).
bool HandleAllows(std::uint32_t code, std::uint32_t access) {
  const std::uint32_t required = (code >> 14) & 3;
  if ((required & 1) && !(access & (win::kGenericRead | win::kGenericWrite))) return false;
  if ((required & 1) && !(access & win::kGenericRead)) return false;
  if ((required & 2) && !(access & win::kGenericWrite)) return false;
  return true;
}

std::string Hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

// Copies an answer into the caller's buffer. A buffer too small for the whole answer
// either takes the part that fits (the descriptor-style requests) or fails the request.
bool Answer(const Bytes& answer, MutableBytes output, bool must_fit, std::uint32_t& error) {
  if (answer.size() > output.size() && must_fit) {
    error = win::kErrorInsufficientBuffer;
    return false;
  }
  std::copy_n(answer.begin(), std::min(answer.size(), output.size()), output.begin());
  return true;
}

const std::map<std::uint32_t, std::string>& DefaultMessages() {
  static const std::map<std::uint32_t, std::string> kMessages = {
      {win::kErrorSuccess, "The operation completed successfully.\r\n"},
      {win::kErrorInvalidFunction, "Incorrect function.\r\n"},
      {win::kErrorFileNotFound, "The system cannot find the file specified.\r\n"},
      {win::kErrorAccessDenied, "Access is denied.\r\n"},
      {win::kErrorInvalidHandle, "The handle is invalid.\r\n"},
      {win::kErrorNoMoreFiles, "There are no more files.\r\n"},
      {win::kErrorNotReady, "The device is not ready.\r\n"},
      {win::kErrorNotSupported, "The request is not supported.\r\n"},
      {win::kErrorInvalidParameter, "The parameter is incorrect.\r\n"},
      {win::kErrorInsufficientBuffer, "The data area passed to a system call is too small.\r\n"},
      {win::kErrorDirNotEmpty, "The directory is not empty.\r\n"},
      {win::kErrorMoreData, "More data is available.\r\n"},
  };
  return kMessages;
}

}  // namespace

std::string Call::ToString() const {
  std::string text = op + "(" + target;
  if (op == "CreateFile") {
    text += ", access " + Hex32(access) + ", share " + std::to_string(share) + ", flags " +
            Hex32(flags);
  } else if (op == "DeviceIoControl") {
    text += ", " + Hex32(code) + ", in " + std::to_string(in_size) + ", out " +
            std::to_string(out_size);
  }
  text += ok ? ") ok" : ") failed " + std::to_string(error);
  return text;
}

std::uint32_t UnitMaskOf(const std::string& mount_path) {
  if (mount_path.size() != 3 || mount_path[1] != ':' || mount_path[2] != '\\') return 0;
  const char letter = static_cast<char>(mount_path[0] & ~0x20);
  if (letter < 'A' || letter > 'Z') return 0;
  return 1u << (letter - 'A');
}

SimMachine::SimMachine() : messages_(DefaultMessages()) {}

Disk* SimMachine::disk(std::uint32_t number) {
  const auto it = disks_.find(number);
  return it == disks_.end() ? nullptr : &it->second;
}

void SimMachine::ArriveVolume(Volume volume) {
  std::uint32_t mask = 0;
  for (const auto& path : volume.mount_paths) mask |= UnitMaskOf(path);
  volumes_.push_back(std::move(volume));
  if (mask != 0) notices_.push_back({win::kDbtDeviceArrival, mask});
}

void SimMachine::RemoveVolume(const std::string& guid_name) {
  const auto it = std::find_if(volumes_.begin(), volumes_.end(),
                               [&](const Volume& v) { return v.guid_name == guid_name; });
  if (it == volumes_.end()) return;
  std::uint32_t mask = 0;
  for (const auto& path : it->mount_paths) mask |= UnitMaskOf(path);
  volumes_.erase(it);
  if (mask != 0) notices_.push_back({win::kDbtDeviceRemoveComplete, mask});
}

void SimMachine::FailNthCall(std::size_t n, std::uint32_t error) {
  fail_countdown_ = n;
  fail_error_ = error;
}

std::optional<std::uint32_t> SimMachine::InjectedFault() {
  if (fail_countdown_ == 0) return std::nullopt;
  if (--fail_countdown_ != 0) return std::nullopt;
  return fail_error_;
}

std::vector<Call> SimMachine::CallsOf(const std::string& op) const {
  std::vector<Call> result;
  for (const auto& call : calls_) {
    if (call.op == op) result.push_back(call);
  }
  return result;
}

std::vector<std::string> SimMachine::OpenHandles() const {
  std::vector<std::string> open;
  for (const auto& [handle, entry] : handles_) {
    open.push_back(handle_names_.at(handle) + " " + entry.path);
  }
  return open;
}

std::deque<Notice> SimMachine::TakeNotices() {
  return std::exchange(notices_, {});
}

std::set<char> SimMachine::LettersInUse() const {
  std::set<char> letters = reserved_letters_;
  for (const auto& volume : volumes_) {
    for (const auto& path : volume.mount_paths) {
      if (const auto mask = UnitMaskOf(path)) {
        for (int bit = 0; bit < 26; ++bit) {
          if (mask & (1u << bit)) letters.insert(static_cast<char>('A' + bit));
        }
      }
    }
  }
  return letters;
}

Call& SimMachine::Log(Call call) {
  calls_.push_back(std::move(call));
  return calls_.back();
}

bool SimMachine::Fail(Call& call, std::uint32_t error) {
  call.ok = false;
  call.error = error;
  last_error_ = error;
  return false;
}

Handle SimMachine::NewHandle(OpenHandle entry) {
  const Handle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = std::move(entry);
  // Handles are named h1, h2, ... in the order they were opened, so logs read the same in
  // every run.
  std::string name = "h";
  name += std::to_string(++handle_serial_);
  handle_names_[handle] = std::move(name);
  return handle;
}

Handle SimMachine::FailOpen(Call& call, std::uint32_t error) {
  Fail(call, error);
  return kInvalidHandle;
}

std::uint32_t SimMachine::FailCount(Call& call, std::uint32_t error) {
  Fail(call, error);
  return 0;
}

Volume* SimMachine::FindVolume(const std::string& guid_name) {
  const std::string lower = Lower(guid_name);
  for (auto& volume : volumes_) {
    if (Lower(volume.guid_name) == lower) return &volume;
  }
  return nullptr;
}

Handle SimMachine::CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition, std::uint32_t flags) {
  const std::string ascii = TextToAscii(path);
  Call& call =
      Log({.op = "CreateFile", .target = ascii, .access = access, .share = share, .flags = flags});
  if (const auto fault = InjectedFault()) return FailOpen(call, *fault);
  if (disposition != win::kOpenExisting) return FailOpen(call, win::kErrorInvalidParameter);

  OpenHandle entry{Kind::kDisk, 0, access, ascii};
  if (const auto number = DiskNumberOf(ascii)) {
    const Disk* found = disk(*number);
    if (found == nullptr) return FailOpen(call, win::kErrorFileNotFound);
    if (found->open_error != 0) return FailOpen(call, found->open_error);
    entry.index = *number;
  } else {
    // A volume device is opened by its GUID path without the trailing backslash; with
    // the backslash the open reaches the volume's root folder instead.
    const bool folder = !ascii.empty() && ascii.back() == '\\';
    const std::string name = folder ? ascii : ascii + "\\";
    const auto it = std::find_if(volumes_.begin(), volumes_.end(), [&](const Volume& v) {
      return Lower(v.guid_name) == Lower(name);
    });
    if (it == volumes_.end()) return FailOpen(call, win::kErrorFileNotFound);
    if (it->open_error != 0) return FailOpen(call, it->open_error);
    entry.kind = folder ? Kind::kFolder : Kind::kVolume;
    entry.index = static_cast<std::uint32_t>(it - volumes_.begin());
  }
  const Handle handle = NewHandle(entry);
  call.ok = true;
  call.target += " -> " + handle_names_[handle];
  return handle;
}

bool SimMachine::DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                                 MutableBytes output) {
  const auto it = handles_.find(device);
  const std::string name = it == handles_.end() ? "invalid" : handle_names_.at(device);
  Call& call = Log({.op = "DeviceIoControl",
                    .target = name,
                    .code = code,
                    .in_size = input.size(),
                    .out_size = output.size(),
                    .input = Bytes(input.begin(), input.end())});
  if (it == handles_.end() || it->second.kind == Kind::kFind) {
    return Fail(call, win::kErrorInvalidHandle);
  }
  if (const auto fault = InjectedFault()) return Fail(call, *fault);
  const OpenHandle& open = it->second;
  if (!HandleAllows(code, open.access)) return Fail(call, win::kErrorAccessDenied);
  bool ok = false;
  switch (open.kind) {
    case Kind::kDisk: {
      Disk* target = disk(open.index);
      if (target == nullptr) return Fail(call, win::kErrorNotReady);  // the disk went away
      ok = DiskRequest(*target, open.index, open, code, input, output, call);
      break;
    }
    case Kind::kVolume:
      if (open.index >= volumes_.size()) return Fail(call, win::kErrorNotReady);
      ok = VolumeRequest(volumes_[open.index], code, output, call);
      break;
    default:
      return Fail(call, win::kErrorInvalidFunction);
  }
  if (ok) {
    call.ok = true;
    last_error_ = win::kErrorSuccess;
  }
  return ok;
}

bool SimMachine::DiskRequest(Disk& disk, std::uint32_t number, const OpenHandle&,
                             std::uint32_t code, ConstBytes input, MutableBytes output,
                             Call& call) {
  if (const auto failing = disk.failing_requests.find(code);
      failing != disk.failing_requests.end()) {
    return Fail(call, failing->second);
  }
  std::uint32_t error = win::kErrorNotSupported;
  auto answer = [&](const std::optional<Bytes>& bytes, bool must_fit) {
    if (!bytes) return Fail(call, win::kErrorNotSupported);
    if (!Answer(*bytes, output, must_fit, error)) return Fail(call, error);
    return true;
  };
  switch (code) {
    case ioctl::kDiskGetLengthInfo: {
      if (!disk.answers_length) return Fail(call, win::kErrorNotSupported);
      if (output.size() < rec::kLengthInformationSize)
        return Fail(call, win::kErrorInsufficientBuffer);
      ByteWriter(output).I64(0, disk.length);
      return true;
    }
    case ioctl::kDiskGetDiskAttributes: {
      if (!disk.answers_attributes) return Fail(call, win::kErrorNotSupported);
      if (output.size() < rec::kGetDiskAttributesSize)
        return Fail(call, win::kErrorInsufficientBuffer);
      ByteWriter writer(output);
      writer.U32(rec::kGetDiskAttributesVersion, rec::kGetDiskAttributesSize);
      writer.U32(4, 0);
      writer.U64(rec::kGetDiskAttributesAttributes, disk.attributes);
      return true;
    }
    case ioctl::kDiskSetDiskAttributes: {
      const ByteReader block(input);
      if (block.size() < rec::kSetDiskAttributesSize ||
          block.U32(rec::kSetDiskAttributesVersion) != rec::kSetDiskAttributesSize) {
        return Fail(call, win::kErrorInvalidParameter);
      }
      if (!disk.answers_attributes) return Fail(call, win::kErrorNotSupported);
      const std::uint64_t mask = block.U64(rec::kSetDiskAttributesMask);
      const std::uint64_t wanted = block.U64(rec::kSetDiskAttributesAttributes);
      const std::uint64_t before = disk.attributes;
      disk.attributes = (before & ~mask) | (wanted & mask);
      const bool was_offline = before & 1;
      const bool is_offline = disk.attributes & 1;
      if (!was_offline && is_offline) QueueLetterNotices(win::kDbtDeviceRemoveComplete, number);
      if (was_offline && !is_offline) QueueLetterNotices(win::kDbtDeviceArrival, number);
      return true;
    }
    case ioctl::kStorageQueryProperty: {
      if (input.size() < rec::kStoragePropertyQuerySize)
        return Fail(call, win::kErrorInvalidParameter);
      return answer(disk.descriptor, false);
    }
    case ioctl::kDiskGetDriveGeometryEx:
      return answer(disk.geometry, false);
    case ioctl::kDiskGetDriveLayoutEx:
      return answer(disk.layout, true);
    case ioctl::kDiskGetCacheInformation:
      return answer(disk.cache, false);
    case ioctl::kStoragePredictFailure:
      return answer(disk.predict_failure, false);
    default:
      return Fail(call, win::kErrorInvalidFunction);
  }
}

bool SimMachine::VolumeRequest(const Volume& volume, std::uint32_t code, MutableBytes output,
                               Call& call) {
  if (code != ioctl::kVolumeGetVolumeDiskExtents) return Fail(call, win::kErrorInvalidFunction);
  if (volume.extents_error != 0) return Fail(call, volume.extents_error);
  const std::size_t needed =
      rec::kVolumeExtentsFirst + volume.extents.size() * rec::kDiskExtentSize;
  ByteWriter writer(output);
  writer.U32(rec::kVolumeExtentsCount, static_cast<std::uint32_t>(volume.extents.size()));
  // Like Windows, a buffer that holds the count but not every extent gets the count and
  // the request fails with ERROR_MORE_DATA.
  if (needed > output.size()) return Fail(call, win::kErrorMoreData);
  for (std::size_t i = 0; i < volume.extents.size(); ++i) {
    const std::size_t at = rec::kVolumeExtentsFirst + i * rec::kDiskExtentSize;
    writer.U32(at + rec::kDiskExtentDiskNumber, volume.extents[i].disk_number);
    writer.I64(at + rec::kDiskExtentStartingOffset, volume.extents[i].starting_offset);
    writer.I64(at + rec::kDiskExtentLength, volume.extents[i].length);
  }
  return true;
}

void SimMachine::QueueLetterNotices(std::uint32_t event, std::uint32_t disk_number) {
  for (const auto& volume : volumes_) {
    if (volume.extents.empty() || volume.extents.front().disk_number != disk_number) continue;
    for (const auto& path : volume.mount_paths) {
      if (const auto mask = UnitMaskOf(path)) notices_.push_back({event, mask});
    }
  }
}

bool SimMachine::CloseHandle(Handle handle) {
  const auto it = handles_.find(handle);
  Call& call = Log(
      {.op = "CloseHandle", .target = it == handles_.end() ? "invalid" : handle_names_.at(handle)});
  if (it == handles_.end() || it->second.kind == Kind::kFind) {
    ++bad_closes_;
    return Fail(call, win::kErrorInvalidHandle);
  }
  handles_.erase(it);
  call.ok = true;
  if (close_error_ != 0) last_error_ = close_error_;
  return true;
}

Text SimMachine::FormatMessage(std::uint32_t code) {
  const auto it = messages_.find(code);
  return it == messages_.end() ? Text() : AsciiToText(it->second);
}

bool SimMachine::WriteVolumeName(std::size_t index, std::span<char> name, Call& call) {
  const std::string& text = volumes_[index].guid_name;
  if (text.size() + 1 > name.size()) return Fail(call, 206);  // ERROR_FILENAME_EXCED_RANGE
  std::copy(text.begin(), text.end(), name.begin());
  name[text.size()] = '\0';
  call.ok = true;
  call.target = text;
  return true;
}

Handle SimMachine::FindFirstVolumeA(std::span<char> name) {
  Call& call = Log({.op = "FindFirstVolumeA", .out_size = name.size()});
  if (const auto fault = InjectedFault()) return FailOpen(call, *fault);
  if (volumes_.empty()) return FailOpen(call, win::kErrorNoMoreFiles);
  if (!WriteVolumeName(0, name, call)) return kInvalidHandle;
  const Handle handle = NewHandle({Kind::kFind, 0, 0, "volume enumeration"});
  call.target += " -> " + handle_names_[handle];
  return handle;
}

bool SimMachine::FindNextVolumeA(Handle find, std::span<char> name) {
  const auto it = handles_.find(find);
  Call& call = Log({.op = "FindNextVolumeA", .out_size = name.size()});
  if (it == handles_.end() || it->second.kind != Kind::kFind) {
    return Fail(call, win::kErrorInvalidHandle);
  }
  if (const auto fault = InjectedFault()) return Fail(call, *fault);
  const std::size_t next = it->second.index + 1;
  if (next >= volumes_.size()) return Fail(call, win::kErrorNoMoreFiles);
  if (!WriteVolumeName(next, name, call)) return false;
  it->second.index = static_cast<std::uint32_t>(next);
  return true;
}

bool SimMachine::FindVolumeClose(Handle find) {
  const auto it = handles_.find(find);
  Call& call = Log({.op = "FindVolumeClose"});
  if (it == handles_.end() || it->second.kind != Kind::kFind) {
    ++bad_closes_;
    return Fail(call, win::kErrorInvalidHandle);
  }
  handles_.erase(it);
  call.ok = true;
  return true;
}

bool SimMachine::GetVolumePathNamesForVolumeNameA(const std::string& volume,
                                                  std::span<char> paths) {
  Call& call =
      Log({.op = "GetVolumePathNamesForVolumeNameA", .target = volume, .out_size = paths.size()});
  if (const auto fault = InjectedFault()) return Fail(call, *fault);
  const Volume* found = FindVolume(volume);
  if (found == nullptr) return Fail(call, win::kErrorFileNotFound);
  std::string list;
  for (const auto& path : found->mount_paths) list += path + '\0';
  list += '\0';
  if (list.size() > paths.size()) return Fail(call, win::kErrorMoreData);
  std::copy(list.begin(), list.end(), paths.begin());
  call.ok = true;
  return true;
}

std::uint32_t SimMachine::QueryDosDeviceW(const std::wstring& device, std::span<wchar_t> target) {
  const std::string name = WideToAnsi(device);
  Call& call = Log({.op = "QueryDosDeviceW", .target = name, .out_size = target.size()});
  if (const auto fault = InjectedFault()) return FailCount(call, *fault);
  const Volume* found = nullptr;
  for (const auto& volume : volumes_) {
    // The DOS-device name of a volume is its GUID path without \\?\ and the backslash.
    if (volume.guid_name.size() > 5 &&
        Lower(volume.guid_name.substr(4, volume.guid_name.size() - 5)) == Lower(name)) {
      found = &volume;
    }
  }
  if (found == nullptr || found->device_name.empty())
    return FailCount(call, win::kErrorFileNotFound);
  const std::wstring list = AnsiToWide(found->device_name) + L'\0' + L'\0';
  if (list.size() > target.size()) return FailCount(call, win::kErrorInsufficientBuffer);
  std::copy(list.begin(), list.end(), target.begin());
  call.ok = true;
  return static_cast<std::uint32_t>(list.size());
}

bool SimMachine::SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) {
  Call& call = Log({.op = "SetVolumeMountPointA", .target = mount_point + " " + volume});
  if (const auto fault = InjectedFault()) return Fail(call, *fault);
  Volume* found = FindVolume(volume);
  const std::uint32_t mask = UnitMaskOf(mount_point);
  if (found == nullptr || mask == 0) return Fail(call, win::kErrorInvalidParameter);
  if (LettersInUse().count(static_cast<char>(mount_point[0] & ~0x20))) {
    return Fail(call, win::kErrorDirNotEmpty);
  }
  // A volume takes one drive letter at most; the mount manager refuses a second one.
  if (std::any_of(found->mount_paths.begin(), found->mount_paths.end(),
                  [](const std::string& path) { return UnitMaskOf(path) != 0; })) {
    return Fail(call, win::kErrorInvalidParameter);
  }
  found->mount_paths.insert(found->mount_paths.begin(), mount_point);
  notices_.push_back({win::kDbtDeviceArrival, mask});
  call.ok = true;
  return true;
}

bool SimMachine::DeleteVolumeMountPointA(const std::string& mount_point) {
  Call& call = Log({.op = "DeleteVolumeMountPointA", .target = mount_point});
  if (const auto fault = InjectedFault()) return Fail(call, *fault);
  for (auto& volume : volumes_) {
    const auto it =
        std::find_if(volume.mount_paths.begin(), volume.mount_paths.end(),
                     [&](const std::string& p) { return Lower(p) == Lower(mount_point); });
    if (it == volume.mount_paths.end()) continue;
    volume.mount_paths.erase(it);
    if (const auto mask = UnitMaskOf(mount_point)) {
      notices_.push_back({win::kDbtDeviceRemoveComplete, mask});
    }
    call.ok = true;
    return true;
  }
  return Fail(call, win::kErrorFileNotFound);
}

// The simulated code page is Windows-1252's Latin-1 range: characters 0 to 255 map to
// the byte of the same value, everything else to '?'.
std::string SimMachine::WideToAnsi(const std::wstring& wide) {
  std::string ansi;
  for (wchar_t c : wide) {
    ansi.push_back(static_cast<std::uint32_t>(c) < 256 ? static_cast<char>(c) : '?');
  }
  return ansi;
}

std::wstring SimMachine::AnsiToWide(const std::string& ansi) {
  std::wstring wide;
  for (char c : ansi) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

void SimMachine::Sleep(std::uint32_t milliseconds) {
  Log({.op = "Sleep", .target = std::to_string(milliseconds), .ok = true});
  elapsed_ms_ += milliseconds;
}

// The machine's clock starts at 9 December 2026, 10:00:00, in an English (United States)
// locale: short date 12/9/2026, long time 10:00:00 AM.
Text SimMachine::LocalDateTimeText() {
  const std::uint64_t seconds = 10 * 3600 + elapsed_ms_ / 1000;
  const unsigned hour = static_cast<unsigned>((seconds / 3600) % 24);
  const unsigned minute = static_cast<unsigned>((seconds / 60) % 60);
  const unsigned second = static_cast<unsigned>(seconds % 60);
  char text[64];
  std::snprintf(text, sizeof text, "12/9/2026 %u:%02u:%02u %s", hour % 12 == 0 ? 12 : hour % 12,
                minute, second, hour < 12 ? "AM" : "PM");
  return AsciiToText(text);
}

}  // namespace sb::sim
