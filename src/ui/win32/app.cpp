#include "ui/win32/app.h"

#include <commctrl.h>

#include "ui/win32/tfrm_properties.h"

namespace sb {

Application::Application(HINSTANCE instance, Platform& platform, VolumeTable& volume_table)
    : instance_(instance), main_window_(instance, platform, volume_table) {}

bool Application::Start(int show_command) {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!TfrmMain::RegisterClasses(instance_) || !Tfrmproperties::RegisterClass(instance_)) {
    return false;
  }
  if (!main_window_.Create()) return false;
  ::ShowWindow(main_window_.hwnd(), show_command);
  ::UpdateWindow(main_window_.hwnd());
  // The Properties window of the start stays hidden: each request creates its own. It is
  // made once the main window is on screen, so that it does not delay the first sight of it.
  Tfrmproperties::Create(instance_, main_window_.hwnd(), main_window_.font());
  return true;
}

int Application::Run() {
  // Zeroed: when GetMessage fails at once (-1), the exit code read below is 0.
  MSG message{};
  while (::GetMessage(&message, nullptr, 0, 0) > 0) DispatchProgramMessage(message);
  return static_cast<int>(message.wParam);
}

int RunApplication(HINSTANCE instance, Platform& platform, VolumeTable& volume_table,
                   int show_command) {
  Application application(instance, platform, volume_table);
  if (!application.Start(show_command)) return 1;
  return application.Run();
}

}  // namespace sb
