// Owners that close platform handles on every path.
#pragma once

#include <utility>

#include "platform/platform.h"

namespace sb {

// A device handle from CreateFile, closed with CloseHandle.
class UniqueHandle {
 public:
  UniqueHandle(Platform& platform, Handle handle) : platform_(&platform), handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : platform_(other.platform_), handle_(std::exchange(other.handle_, kInvalidHandle)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      platform_ = other.platform_;
      handle_ = std::exchange(other.handle_, kInvalidHandle);
    }
    return *this;
  }
  ~UniqueHandle() { Close(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != kInvalidHandle; }

  void Close() {
    if (valid()) platform_->CloseHandle(std::exchange(handle_, kInvalidHandle));
  }

 private:
  Platform* platform_;
  Handle handle_;
};

// A volume enumeration from FindFirstVolumeA, closed with FindVolumeClose.
class UniqueFindVolume {
 public:
  UniqueFindVolume(Platform& platform, Handle handle) : platform_(&platform), handle_(handle) {}
  UniqueFindVolume(const UniqueFindVolume&) = delete;
  UniqueFindVolume& operator=(const UniqueFindVolume&) = delete;
  ~UniqueFindVolume() {
    if (valid()) platform_->FindVolumeClose(handle_);
  }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != kInvalidHandle; }

 private:
  Platform* platform_;
  Handle handle_;
};

}  // namespace sb
