#include "disk/probe.h"

#include "disk/attributes.h"
#include "platform/handle.h"

namespace sb {

std::optional<std::int64_t> ProbeDiskLength(Platform& platform, const Text& number) {
  // The probe names the device in lower case; Windows treats both forms alike.
  const UniqueHandle probe =
      OpenExisting(platform, SB_T("\\\\.\\physicaldrive") + number, win::kGenericRead,
                   kShareReadWrite, win::kFileAttributeNormal);
  if (!probe.valid()) return std::nullopt;
  return GetDiskLength(platform, probe.get());
}

}  // namespace sb
