// A platform that has no disks and no volumes.
#pragma once

#include "platform/forwarding_platform.h"

namespace sb::bench {

// Every open is answered "not found" and the volume enumeration finds nothing, without the
// call reaching the platform it wraps; everything else goes to that one (the real
// platform). Over it the program's start creates, shows and paints the same windows, and
// its list fill probes sixteen disks that are not there: the start without the disk work.
class NoDisksPlatform final : public ForwardingPlatform {
 public:
  explicit NoDisksPlatform(Platform& next) : ForwardingPlatform(next) {}

  Handle CreateFile(const Text& /*path*/, std::uint32_t /*access*/, std::uint32_t /*share*/,
                    std::uint32_t /*disposition*/, std::uint32_t /*flags*/) override {
    next().SetLastError(win::kErrorFileNotFound);
    return kInvalidHandle;
  }
  Handle FindFirstVolumeA(std::span<char> /*name*/) override {
    next().SetLastError(win::kErrorNoMoreFiles);
    return kInvalidHandle;
  }
};

}  // namespace sb::bench
