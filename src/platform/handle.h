// Owners that close platform handles on every path.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/unique_any.h"

namespace sb {

// What closes a platform handle: the platform it came from, and which of its calls.
template <bool (Platform::*CloseCall)(Handle)>
struct PlatformClosePolicy {
  using Value = Handle;
  static constexpr Handle kInvalid = kInvalidHandle;

  PlatformClosePolicy() = default;
  // Implicit, so that an owner is made as UniqueHandle(platform, handle).
  PlatformClosePolicy(Platform& owner) : platform(&owner) {}

  void Close(Handle handle) const { (platform->*CloseCall)(handle); }
  std::uint32_t GetLastError() const { return platform->GetLastError(); }
  void SetLastError(std::uint32_t code) const { platform->SetLastError(code); }

  Platform* platform = nullptr;
};

// A device handle from CreateFile, closed with CloseHandle.
using UniqueHandle = UniqueAny<PlatformClosePolicy<&Platform::CloseHandle>>;
// A volume enumeration from FindFirstVolumeA, closed with FindVolumeClose.
using UniqueFindVolume = UniqueAny<PlatformClosePolicy<&Platform::FindVolumeClose>>;

// Both kinds of sharing: every open of the program lets others read, and all but the
// layout's let them write.
inline constexpr std::uint32_t kShareReadWrite = win::kFileShareRead | win::kFileShareWrite;

// Opens an existing device (CreateFile with OPEN_EXISTING, no security attributes, no
// template). The owner is invalid when the open was refused; the last error says why.
inline UniqueHandle OpenExisting(Platform& platform, const Text& path, std::uint32_t access,
                                 std::uint32_t share, std::uint32_t flags = 0) {
  return UniqueHandle(platform,
                      platform.CreateFile(path, access, share, win::kOpenExisting, flags));
}

}  // namespace sb
