// Owners of the windows' own objects: the program's font, the list's popup menu and the
// hooks installed on the windows' thread.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>

#include "platform/unique_any.h"

namespace sb {

// The thread's last error, which closing an object keeps as it was.
struct Win32LastError {
  std::uint32_t GetLastError() const { return ::GetLastError(); }
  void SetLastError(std::uint32_t code) const { ::SetLastError(code); }
};

// A GDI object (font, brush, pen, bitmap), closed with DeleteObject.
template <typename Object>
struct DeleteObjectPolicy : Win32LastError {
  using Value = Object;
  static constexpr Object kInvalid = nullptr;
  void Close(Object object) const { ::DeleteObject(object); }
};

// A menu that no window owns (a popup menu), closed with DestroyMenu. A window's own
// menu bar is destroyed with its window and needs no owner.
struct DestroyMenuPolicy : Win32LastError {
  using Value = HMENU;
  static constexpr HMENU kInvalid = nullptr;
  void Close(HMENU menu) const { ::DestroyMenu(menu); }
};

// A hook procedure installed with SetWindowsHookEx, removed with UnhookWindowsHookEx.
struct UnhookPolicy : Win32LastError {
  using Value = HHOOK;
  static constexpr HHOOK kInvalid = nullptr;
  void Close(HHOOK hook) const { ::UnhookWindowsHookEx(hook); }
};

using UniqueFont = UniqueAny<DeleteObjectPolicy<HFONT>>;
using UniqueMenu = UniqueAny<DestroyMenuPolicy>;
using UniqueHook = UniqueAny<UnhookPolicy>;

}  // namespace sb
