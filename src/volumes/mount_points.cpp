#include "volumes/mount_points.h"

#include <exception>

#include "platform/error.h"
#include "volumes/volume_routines.h"

namespace sb {
namespace {

void ReportError(Platform& platform, Dialogs& dialogs, const std::string& routine,
                 const std::exception& error) {
  dialogs.MessageBoxA(Dialogs::Owner::kNone, routine + ":" + TextToAnsi(platform, MessageOf(error)),
                      routine, win::kMbOk);
}

}  // namespace

bool mount_vol(Platform& platform, Dialogs& dialogs, const std::string& volume_name) {
  try {
    // A and B stay with floppy drives. A letter in use is not looked for beforehand: the
    // platform refuses it and the next one is tried.
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
      if (platform.SetVolumeMountPointA(std::string(1, letter) + ":\\", volume_name)) return true;
    }
  } catch (const std::exception& error) {
    ReportError(platform, dialogs, "mount_vol", error);
  }
  return false;
}

bool unmount_vol(Platform& platform, Dialogs& dialogs, const std::string& mount_path) {
  try {
    return platform.DeleteVolumeMountPointA(mount_path);
  } catch (const std::exception& error) {
    ReportError(platform, dialogs, "unmount_vol", error);
  }
  return false;
}

}  // namespace sb
