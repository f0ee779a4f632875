// Drive-letter mount points of volumes.
//
// Both report errors raised inside them in a system message box without owner, captioned
// with their name, and never let one reach their caller. A change the platform refuses is
// not an error.
#pragma once

#include <string>

#include "platform/platform.h"
#include "ports/dialogs.h"

namespace sb {

// Gives the volume (named \\?\Volume{GUID}\) the first of the letters C: to Z: that the
// platform accepts. False when it accepted none.
bool mount_vol(Platform& platform, Dialogs& dialogs, const std::string& volume_name);

// Removes the mount point at mount_path (a drive root such as E:\ or a folder, with its
// trailing backslash). True when it was removed.
bool unmount_vol(Platform& platform, Dialogs& dialogs, const std::string& mount_path);

}  // namespace sb
