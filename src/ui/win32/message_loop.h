// How the program handles one message of its queue, in the main loop and wherever a
// handler lets pending messages run.
#pragma once

#include "platform/win32/win32_api.h"

namespace sb {

// Tab, the arrow keys, Enter and Esc move between controls as in a dialog; everything else
// is translated and dispatched.
inline void DispatchProgramMessage(MSG& message) {
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  if (root != nullptr && ::IsDialogMessage(root, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessage(&message);
}

}  // namespace sb
