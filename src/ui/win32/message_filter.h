// Posted messages that must not be trusted.
#pragma once

#include "platform/win32/win32_api.h"

#include "ui/win32/ui_handles.h"

namespace sb {

// Messages that Windows and the program's own controls only ever send, some of them
// with a pointer in lParam. Found in the message queue, they were posted by another
// process, and acting on them would read or write wherever their lParam points.
constexpr bool IsForgedPost(UINT message) {
  switch (message) {
    case WM_NOTIFY:
    case WM_DEVICECHANGE:  // volume broadcasts are sent; their record is marshalled
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_GETDLGCODE:  // the dialog manager sends it, lParam the key message it weighs
      return true;
    default:
      return false;
  }
}

// Turns forged posts into WM_NULL before any message loop of the calling thread sees
// them: the program's own loops and Windows' modal ones (message boxes, menus).
// Installed for the lifetime of the object on the thread that makes it.
class PostedMessageFilter {
 public:
  PostedMessageFilter();
  ~PostedMessageFilter() = default;  // the hook's owner removes it
  PostedMessageFilter(const PostedMessageFilter&) = delete;
  PostedMessageFilter& operator=(const PostedMessageFilter&) = delete;

  bool installed() const { return hook_.valid(); }

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wparam, LPARAM lparam) noexcept;

  UniqueHook hook_;
};

}  // namespace sb
