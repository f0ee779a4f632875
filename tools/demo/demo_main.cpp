// spindlebay-demo: the program's windows and logic over the simulated demo machine.
//
// Notices that the simulated machine raises (drive letters coming and going, disks going
// offline and online) reach the main window as WM_DEVICECHANGE broadcasts, through the
// message queue as Windows' own do. The hidden window of the class
// "SpindlebayDemoDriver" also lets a tour plug in (WM_APP + 1) and pull out (WM_APP + 2) a
// USB stick.
#include "platform/win32/win32_api.h"

#include "tools/demo/demo_machine.h"
#include "tools/demo/notice_delivery.h"
#include "ui/win32/app.h"

namespace {

constexpr UINT kPlugInMessage = WM_APP + 1;
constexpr UINT kPullOutMessage = WM_APP + 2;

void OnStickMessage(void* context, UINT message) {
  auto& machine = *static_cast<sb::demo::NoticePostingMachine*>(context);
  if (message == kPlugInMessage) sb::demo::PlugInStick(machine);
  if (message == kPullOutMessage) sb::demo::PullOutStick(machine);
  machine.PostNotices();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  sb::demo::NoticePostingMachine machine;
  sb::demo::BuildDemoMachine(machine);
  sb::Application application(instance, machine, sb::VolumeList);
  sb::demo::NoticeWindow driver(instance, L"SpindlebayDemoDriver", OnStickMessage, &machine);
  driver.set_target(&application.main_window());
  machine.set_notice_window(driver.hwnd());
  if (!application.Start(show_command)) return 1;
  return application.Run();
}
