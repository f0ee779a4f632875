// The scenario as this Wine shows it. The test disk driver stands in for disks 1 to 15 of
// a machine; everything else the real window sees is Wine's own. The simulated machine must
// run this scenario to see what the real window sees:
//
// - disk 0 is Wine's, measured: every request the program sends a disk, on a handle opened
//   as the program opens it, with the program's buffer, and what Wine answers;
// - the volumes are Wine's, measured through the volume calls the program makes;
// - the message texts are Wine's, for every error code the two machines can give;
// - no drive letter is reserved: Wine's letters are those of its volumes;
// - a volume that arrives is announced to the window as Windows announces it, but
//   Wine's volume table does not change: on the simulated machine it arrives on no disk.
//
// The description's disks 1 to 15 stay as they are.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/platform.h"

namespace sb::window_runner {

nlohmann::json AsWineShowsIt(const nlohmann::json& scenario, Platform& platform);

}  // namespace sb::window_runner
