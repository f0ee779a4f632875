// spindlebay-demo: the program's windows and logic over the simulated demo machine.
//
// Notices that the simulated machine raises (drive letters coming and going, disks going
// offline and online) reach the main window as WM_DEVICECHANGE broadcasts, posted so that
// they arrive through the message queue as the system's own do. A hidden window of the
// class "SpindlebayDemoDriver" lets a tour plug in (WM_APP + 1) and pull out (WM_APP + 2) a
// USB stick.
#include "platform/win32/win32_api.h"

#include <dbt.h>

#include "platform/sim/sim_machine.h"
#include "tools/demo/demo_machine.h"
#include "ui/win32/app.h"
#include "ui/win32/tfrm_main.h"

namespace {

constexpr UINT kNoticeMessage = WM_APP;
constexpr UINT kPlugInMessage = WM_APP + 1;
constexpr UINT kPullOutMessage = WM_APP + 2;

class DemoMachine final : public sb::sim::SimMachine {
 public:
  void set_driver(HWND driver) { driver_ = driver; }

  // Posts every notice the machine has queued.
  void PostNotices() {
    for (const auto& notice : TakeNotices()) {
      ::PostMessageW(driver_, kNoticeMessage, notice.event, notice.unit_mask);
    }
  }

  bool DeviceIoControl(sb::Handle device, std::uint32_t code, sb::ConstBytes input,
                       sb::MutableBytes output) override {
    const bool ok = SimMachine::DeviceIoControl(device, code, input, output);
    PostNotices();
    return ok;
  }
  bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) override {
    const bool ok = SimMachine::SetVolumeMountPointA(mount_point, volume);
    PostNotices();
    return ok;
  }
  bool DeleteVolumeMountPointA(const std::string& mount_point) override {
    const bool ok = SimMachine::DeleteVolumeMountPointA(mount_point);
    PostNotices();
    return ok;
  }

 private:
  HWND driver_ = nullptr;
};

DemoMachine* g_machine = nullptr;

LRESULT CALLBACK DriverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kNoticeMessage:
      if (sb::frmMain != nullptr) {
        DEV_BROADCAST_VOLUME volume = {};
        volume.dbcv_size = sizeof volume;
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_unitmask = static_cast<DWORD>(lparam);
        ::SendMessageW(sb::frmMain->hwnd(), WM_DEVICECHANGE, wparam,
                       reinterpret_cast<LPARAM>(&volume));
      }
      return 0;
    case kPlugInMessage:
      sb::demo::PlugInStick(*g_machine);
      g_machine->PostNotices();
      return 0;
    case kPullOutMessage:
      sb::demo::PullOutStick(*g_machine);
      g_machine->PostNotices();
      return 0;
    default:
      return ::DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  DemoMachine machine;
  g_machine = &machine;
  sb::demo::BuildDemoMachine(machine);

  WNDCLASSW driver_class = {};
  driver_class.lpfnWndProc = DriverProc;
  driver_class.hInstance = instance;
  driver_class.lpszClassName = L"SpindlebayDemoDriver";
  ::RegisterClassW(&driver_class);
  // A hidden top-level window rather than a message-only one, so that FindWindow finds it.
  HWND driver = ::CreateWindowW(L"SpindlebayDemoDriver", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, nullptr);
  machine.set_driver(driver);

  const int code = sb::RunApplication(instance, machine, sb::VolumeList, show_command);
  ::DestroyWindow(driver);
  return code;
}
