// Small helpers shared by the program's window classes.
#pragma once

#include "platform/win32/win32_api.h"

namespace sb {

inline void SetFont(HWND control, HFONT font) {
  ::SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Registers a window class on the button-face background, with the arrow cursor and an
// optional icon. A class that is registered already counts as success.
inline bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure, const TCHAR* name,
                                HICON icon = nullptr) {
  WNDCLASSEX wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return ::RegisterClassEx(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// "MS Sans Serif" at a height of 11 pixels, the font of every window of the program.
inline HFONT CreateProgramFont() {
  return ::CreateFont(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, TEXT("MS Sans Serif"));
}

}  // namespace sb
