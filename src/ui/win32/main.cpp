// Spindlebay: the disks of this machine, their state and their report.
#include "platform/win32/win32_api.h"

#include "platform/win32/win32_platform.h"
#include "ui/win32/app.h"
#include "volumes/volume_table.h"

// The SDK declares WinMain with parameter names in its own style.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/,
                   int show_command) {
  sb::Win32Platform platform;
  return sb::RunApplication(instance, platform, sb::VolumeList, show_command);
}
