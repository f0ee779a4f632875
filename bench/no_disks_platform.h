// The real platform on a machine that has no disks and no volumes.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/win32/win32_platform.h"

namespace sb::bench {

// Every open is answered "not found" and the volume enumeration finds nothing, without a
// call reaching the system; everything else is the real platform. Over it the program's
// start creates, shows and paints the same windows, and its list fill probes sixteen disks
// that are not there: the start without the disk work.
class NoDisksPlatform final : public Win32Platform {
 public:
  Handle CreateFile(const Text&, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t) override {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return kInvalidHandle;
  }
  Handle FindFirstVolumeA(std::span<char>) override {
    ::SetLastError(ERROR_NO_MORE_FILES);
    return kInvalidHandle;
  }
};

}  // namespace sb::bench
