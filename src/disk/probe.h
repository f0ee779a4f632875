// The disk list's probe of one disk number.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace sb {

// Opens "\\.\physicaldrive" + number as the disk list probes it (GENERIC_READ, read+write
// sharing, FILE_ATTRIBUTE_NORMAL) and reads the disk's length on that handle, which is
// closed before it returns. Empty when the open is refused: the list has no row for the
// number. A length that cannot be read is 0.
std::optional<std::int64_t> ProbeDiskLength(Platform& platform, const Text& number);

}  // namespace sb
