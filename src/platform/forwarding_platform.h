// A platform that hands every call to another one: the base of the platforms that watch or
// change a few calls of the one they wrap (a recorder of the calls, a pause that is noted
// rather than waited for), so that each of them names only what it changes.
#pragma once

#include "platform/platform.h"

namespace sb {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& next) : next_(next) {}

  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    return next_.CreateFile(path, access, share, disposition, flags);
  }
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override {
    return next_.DeviceIoControl(device, code, input, output);
  }
  bool CloseHandle(Handle handle) override { return next_.CloseHandle(handle); }
  std::uint32_t GetLastError() override { return next_.GetLastError(); }
  void SetLastError(std::uint32_t code) override { next_.SetLastError(code); }
  Text FormatMessage(std::uint32_t code) override { return next_.FormatMessage(code); }
  Handle FindFirstVolumeA(std::span<char> name) override { return next_.FindFirstVolumeA(name); }
  bool FindNextVolumeA(Handle find, std::span<char> name) override {
    return next_.FindNextVolumeA(find, name);
  }
  bool FindVolumeClose(Handle find) override { return next_.FindVolumeClose(find); }
  bool GetVolumePathNamesForVolumeNameA(const std::string& volume, std::span<char> paths) override {
    return next_.GetVolumePathNamesForVolumeNameA(volume, paths);
  }
  std::uint32_t QueryDosDeviceW(const std::wstring& device, std::span<wchar_t> target) override {
    return next_.QueryDosDeviceW(device, target);
  }
  bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) override {
    return next_.SetVolumeMountPointA(mount_point, volume);
  }
  bool DeleteVolumeMountPointA(const std::string& mount_point) override {
    return next_.DeleteVolumeMountPointA(mount_point);
  }
  std::string WideToAnsi(const std::wstring& wide) override { return next_.WideToAnsi(wide); }
  std::wstring AnsiToWide(const std::string& ansi) override { return next_.AnsiToWide(ansi); }
  void Sleep(std::uint32_t milliseconds) override { next_.Sleep(milliseconds); }
  Text LocalDateTimeText() override { return next_.LocalDateTimeText(); }

 protected:
  Platform& next() { return next_; }

 private:
  Platform& next_;
};

}  // namespace sb
