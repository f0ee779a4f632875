// Small helpers shared by the program's window classes.
#pragma once

#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <stdexcept>

#include "platform/text.h"

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

// The whole text of a list-view cell. The list copies no more than the buffer it is given
// and answers how much it copied, so the buffer grows until the text fits with room to
// spare. Past 16 million characters the reader gives up, loudly.
inline Text CellText(HWND list, int row, int column) {
  constexpr std::size_t kLargest = std::size_t{1} << 24;
  Text text(256, Char{});
  for (;;) {
    LVITEM item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto copied = static_cast<std::size_t>(::SendMessage(
        list, LVM_GETITEMTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (copied + 1 < text.size()) {
      text.resize(copied);
      return text;
    }
    if (text.size() >= kLargest)
      throw std::length_error("a list cell longer than the reader takes");
    text.assign(text.size() * 2, Char{});
  }
}

}  // namespace sb
