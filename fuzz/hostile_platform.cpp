#include "hostile_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sb::fuzz {

void HostilePlatform::CheckHandles() const {
  if (open_.empty() && bad_closes_ == 0 && bad_uses_ == 0) return;
  std::fprintf(stderr,
               "hostile platform: %zu handle(s) left open, %zu bad close(s), %zu use(s) "
               "of a handle that is not open\n",
               open_.size(), bad_closes_, bad_uses_);
  for (const auto& [handle, entry] : open_) {
    std::fprintf(stderr, "  open: %s\n", entry.second.c_str());
  }
  std::abort();
}

bool HostilePlatform::Succeeds() {
  ++calls_;
  if (in_.Bool()) return true;
  last_error_ = in_.U32();
  return false;
}

Handle HostilePlatform::Open(Kind kind, const std::string& what) {
  const Handle handle = next_handle_;
  next_handle_ += 4;
  open_[handle] = {kind, what};
  return handle;
}

bool HostilePlatform::IsOpen(Handle handle, Kind kind) {
  const auto it = open_.find(handle);
  if (it != open_.end() && it->second.first == kind) return true;
  ++bad_uses_;
  return false;
}

bool HostilePlatform::Release(Handle handle, Kind kind) {
  const auto it = open_.find(handle);
  if (it == open_.end() || it->second.first != kind) {
    ++bad_closes_;
    last_error_ = win::kErrorInvalidHandle;
    return false;
  }
  open_.erase(it);
  return true;
}

void HostilePlatform::FillChars(std::span<char> buffer) {
  const auto bytes = in_.Bytes(in_.Length(buffer.size()));
  std::copy(bytes.begin(), bytes.end(), buffer.begin());
}

Handle HostilePlatform::CreateFile(const Text& path, std::uint32_t, std::uint32_t, std::uint32_t,
                                   std::uint32_t) {
  if (!Succeeds()) return kInvalidHandle;
  return Open(Kind::kDevice, "CreateFile " + TextToAscii(path));
}

bool HostilePlatform::DeviceIoControl(Handle device, std::uint32_t, ConstBytes,
                                      MutableBytes output) {
  ++calls_;
  if (!IsOpen(device, Kind::kDevice)) {
    last_error_ = win::kErrorInvalidHandle;
    return false;
  }
  const bool ok = in_.Bool();
  if (!ok) last_error_ = in_.U32();
  // Succeeding or not, the driver writes what it likes into the caller's buffer.
  const auto bytes = in_.Bytes(in_.Length(output.size()));
  std::copy(bytes.begin(), bytes.end(), output.begin());
  return ok;
}

bool HostilePlatform::CloseHandle(Handle handle) {
  return Release(handle, Kind::kDevice);
}

Text HostilePlatform::FormatMessage(std::uint32_t) {
  if (!Succeeds()) return Text();
  Text text;
  const std::size_t length = in_.Length(80);
  for (std::size_t i = 0; i < length && !in_.empty(); ++i) {
    if constexpr (kWideText) {
      text.push_back(static_cast<Char>(in_.U16()));
    } else {
      text.push_back(static_cast<Char>(in_.Byte()));
    }
  }
  return text;
}

Handle HostilePlatform::FindFirstVolumeA(std::span<char> name) {
  if (!Succeeds()) return kInvalidHandle;
  FillChars(name);
  return Open(Kind::kFind, "FindFirstVolumeA");
}

bool HostilePlatform::FindNextVolumeA(Handle find, std::span<char> name) {
  if (!IsOpen(find, Kind::kFind)) return false;
  if (!Succeeds()) return false;
  FillChars(name);
  return true;
}

bool HostilePlatform::FindVolumeClose(Handle find) {
  return Release(find, Kind::kFind);
}

bool HostilePlatform::GetVolumePathNamesForVolumeNameA(const std::string&, std::span<char> paths) {
  if (!Succeeds()) return false;
  FillChars(paths);
  return true;
}

std::uint32_t HostilePlatform::QueryDosDeviceW(const std::wstring&, std::span<wchar_t> target) {
  if (!Succeeds()) return 0;
  const std::size_t length = in_.Length(target.size());
  for (std::size_t i = 0; i < length && !in_.empty(); ++i) {
    target[i] = static_cast<wchar_t>(in_.U16());
  }
  // The count it claims need not match what it wrote.
  return in_.U32() | 1u;
}

bool HostilePlatform::SetVolumeMountPointA(const std::string&, const std::string&) {
  return Succeeds();
}

bool HostilePlatform::DeleteVolumeMountPointA(const std::string&) {
  return Succeeds();
}

std::string HostilePlatform::WideToAnsi(const std::wstring& wide) {
  std::string ansi;
  for (wchar_t c : wide) ansi.push_back(c >= 0 && c < 256 ? static_cast<char>(c) : '?');
  return ansi;
}

std::wstring HostilePlatform::AnsiToWide(const std::string& ansi) {
  std::wstring wide;
  for (char c : ansi) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

}  // namespace sb::fuzz
