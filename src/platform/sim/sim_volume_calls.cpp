// The simulated machine's volume calls: enumeration, mount paths, DOS device names, and the
// drive letters that come and go with them.
#include "platform/sim/sim_machine.h"

#include <algorithm>

#include "platform/sim/sim_names.h"

namespace sb::sim {

std::uint32_t UnitMaskOf(const std::string& mount_path) {
  if (mount_path.size() != 3 || mount_path[1] != ':' || mount_path[2] != '\\') return 0;
  const char letter = static_cast<char>(mount_path[0] & ~0x20);
  if (letter < 'A' || letter > 'Z') return 0;
  return 1u << (letter - 'A');
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

Volume* SimMachine::FindVolume(const std::string& guid_name) {
  const std::string lower = Lower(guid_name);
  for (auto& volume : volumes_) {
    if (Lower(volume.guid_name) == lower) return &volume;
  }
  return nullptr;
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
  if (LettersInUse().contains(static_cast<char>(mount_point[0] & ~0x20))) {
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

}  // namespace sb::sim
