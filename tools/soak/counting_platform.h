// A platform counting what the program leaves behind: for the soak and the monkey over the
// real platform.
#pragma once

#include "platform/forwarding_platform.h"
#include "platform/records.h"

namespace sb {

// Forwards every call to the platform it wraps, counting the device and enumeration handles
// the program holds open and the attribute changes accepted.
class CountingPlatform final : public ForwardingPlatform {
 public:
  explicit CountingPlatform(Platform& next) : ForwardingPlatform(next) {}

  long long open() const { return open_; }
  long long opened() const { return opened_; }
  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    return Count(next().CreateFile(path, access, share, disposition, flags));
  }
  bool CloseHandle(Handle handle) override {
    const bool closed = next().CloseHandle(handle);
    open_ -= closed ? 1 : 0;
    return closed;
  }
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override {
    const bool ok = next().DeviceIoControl(device, code, input, output);
    changes_ += ok && code == ioctl::kDiskSetDiskAttributes ? 1 : 0;
    return ok;
  }
  // The commands' one-second pause is not waited out: the soak looks at what stays behind,
  // not at time.
  void Sleep(std::uint32_t) override {}
  long long changes() const { return changes_; }
  Handle FindFirstVolumeA(std::span<char> name) override {
    return Count(next().FindFirstVolumeA(name));
  }
  bool FindVolumeClose(Handle find) override {
    const bool closed = next().FindVolumeClose(find);
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
