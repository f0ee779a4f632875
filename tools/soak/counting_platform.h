// The real platform, counting what the system leaves behind: for the soak and the monkey
// over real disks.
#pragma once

#include "platform/win32/win32_platform.h"

namespace sb {

// The real platform, counting the device and enumeration handles the system holds open.
class CountingPlatform final : public Win32Platform {
 public:
  long long open() const { return open_; }
  long long opened() const { return opened_; }
  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    return Count(Win32Platform::CreateFile(path, access, share, disposition, flags));
  }
  bool CloseHandle(Handle handle) override {
    const bool closed = Win32Platform::CloseHandle(handle);
    open_ -= closed ? 1 : 0;
    return closed;
  }
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override {
    const bool ok = Win32Platform::DeviceIoControl(device, code, input, output);
    changes_ += ok && code == ioctl::kDiskSetDiskAttributes ? 1 : 0;
    return ok;
  }
  // The commands' one-second pause is not waited out: the soak looks at what stays behind,
  // not at time.
  void Sleep(std::uint32_t) override {}
  long long changes() const { return changes_; }
  Handle FindFirstVolumeA(std::span<char> name) override {
    return Count(Win32Platform::FindFirstVolumeA(name));
  }
  bool FindVolumeClose(Handle find) override {
    const bool closed = Win32Platform::FindVolumeClose(find);
    open_ -= closed ? 1 : 0;
    return closed;
  }

 private:
  Handle Count(Handle handle) {
    open_ += handle != kInvalidHandle ? 1 : 0;
    opened_ += handle != kInvalidHandle ? 1 : 0;
    return handle;
  }
  long long open_ = 0;
  long long opened_ = 0;
  long long changes_ = 0;
};

}  // namespace sb
