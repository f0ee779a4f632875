#include "ui/win32/app.h"

#include <commctrl.h>

#include "ui/win32/message_filter.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"

namespace sb {

int RunApplication(HINSTANCE instance, Platform& platform, VolumeTable& volume_table,
                   int show_command) {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!TfrmMain::RegisterClasses(instance) || !Tfrmproperties::RegisterClass(instance)) return 1;
  const PostedMessageFilter filter;

  TfrmMain main_window(instance, platform, volume_table);
  if (!main_window.Create()) return 1;
  ::ShowWindow(main_window.hwnd(), show_command);
  ::UpdateWindow(main_window.hwnd());
  // The Properties window of the start stays hidden: each request creates its own. It is
  // made once the main window is on screen, so that it does not delay the first sight of it.
  frmproperties = Tfrmproperties::Create(instance, main_window.hwnd(), main_window.font());

  MSG message;
  while (::GetMessage(&message, nullptr, 0, 0) > 0) {
    // Tab, the arrow keys, Enter and Esc move between controls as in a dialog.
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (root != nullptr && ::IsDialogMessage(root, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessage(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace sb
