// A capture as a machine description of the scenario runner (tools/scenario/FORMAT.md).
#pragma once

#include <nlohmann/json.hpp>

#include "platform/platform.h"
#include "tools/capture/capture.h"

namespace sb::capture {

// Keys in a fixed order, so that two captures of one machine are the same text. The
// volumes' single-byte texts are written in UTF-8, converted through the platform's code
// page.
nlohmann::ordered_json MachineJson(const Capture& capture, Platform& platform);

}  // namespace sb::capture
