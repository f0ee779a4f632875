// Program start: the windows, then the message loop until the main window closes.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/platform.h"
#include "volumes/volume_table.h"

namespace sb {

// Creates frmMain over the given platform and one hidden Properties window, shows the main
// window (which fills the disk list) and runs the message loop. Returns the exit code.
int RunApplication(HINSTANCE instance, Platform& platform, VolumeTable& volume_table,
                   int show_command);

}  // namespace sb
