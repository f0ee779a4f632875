// spindlebay-skeleton: the program without its disk work, for the start-up benchmark.
//
// The same start as spindlebay.exe (src/ui/win32/main.cpp), with the same resources
// (manifests, icon, version), the same window classes, the same main window with its
// controls and the same hidden Properties window, through the program's own
// RunApplication, so that it cannot drift from the program. Only the platform differs: it
// has no disks, so the list stays empty and no disk is opened or asked anything.
#include "platform/win32/win32_api.h"

#include "no_disks_platform.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/app.h"
#include "volumes/volume_table.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  sb::Win32Platform real;
  sb::bench::NoDisksPlatform platform(real);
  return sb::RunApplication(instance, platform, sb::VolumeList, show_command);
}
