// The real platform for the window runner: every call goes to the platform it wraps, except
// that the commands' one-second pause is reported instead of waited for (unless asked to
// wait), as the simulated machine's virtual clock lets it pass at once.
#pragma once

#include <functional>
#include <utility>

#include "platform/platform.h"

namespace sb::window_runner {

class MarkedPausePlatform final : public Platform {
 public:
  MarkedPausePlatform(Platform& real, std::function<void()> on_pause, bool wait)
      : real_(real), on_pause_(std::move(on_pause)), wait_(wait) {}

  void Sleep(std::uint32_t milliseconds) override {
    on_pause_();
    if (wait_) real_.Sleep(milliseconds);
  }

  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    return real_.CreateFile(path, access, share, disposition, flags);
  }
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override {
    return real_.DeviceIoControl(device, code, input, output);
  }
  bool CloseHandle(Handle handle) override { return real_.CloseHandle(handle); }
  std::uint32_t GetLastError() override { return real_.GetLastError(); }
  void SetLastError(std::uint32_t code) override { real_.SetLastError(code); }
  Text FormatMessage(std::uint32_t code) override { return real_.FormatMessage(code); }
  Handle FindFirstVolumeA(std::span<char> name) override { return real_.FindFirstVolumeA(name); }
  bool FindNextVolumeA(Handle find, std::span<char> name) override {
    return real_.FindNextVolumeA(find, name);
  }
  bool FindVolumeClose(Handle find) override { return real_.FindVolumeClose(find); }
  bool GetVolumePathNamesForVolumeNameA(const std::string& volume, std::span<char> paths) override {
    return real_.GetVolumePathNamesForVolumeNameA(volume, paths);
  }
  std::uint32_t QueryDosDeviceW(const std::wstring& device, std::span<wchar_t> target) override {
    return real_.QueryDosDeviceW(device, target);
  }
  bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) override {
    return real_.SetVolumeMountPointA(mount_point, volume);
  }
  bool DeleteVolumeMountPointA(const std::string& mount_point) override {
    return real_.DeleteVolumeMountPointA(mount_point);
  }
  std::string WideToAnsi(const std::wstring& wide) override { return real_.WideToAnsi(wide); }
  std::wstring AnsiToWide(const std::string& ansi) override { return real_.AnsiToWide(ansi); }
  Text LocalDateTimeText() override { return real_.LocalDateTimeText(); }

 private:
  Platform& real_;
  std::function<void()> on_pause_;
  bool wait_;
};

}  // namespace sb::window_runner
