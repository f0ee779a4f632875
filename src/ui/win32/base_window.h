// One window procedure for every window of the program, and the program's exception barrier.
#pragma once

#include "platform/win32/win32_api.h"

#include <exception>

#include "ui/exception_report.h"

namespace sb {

// Messages about the window's own creation and destruction. Only the window's own thread
// sends them; from another thread (another process) they are forged and not acted on.
constexpr bool IsLifetimeMessage(UINT message) {
  return message == WM_NCCREATE || message == WM_CREATE || message == WM_DESTROY ||
         message == WM_NCDESTROY;
}

// The result a message gets when its handler threw: creation is refused, anything else
// counts as handled.
constexpr LRESULT ResultAfterException(UINT message) {
  if (message == WM_NCCREATE) return FALSE;
  if (message == WM_CREATE) return -1;
  return 0;
}

// The classic window wrapper. The C++ object is attached to its window at WM_NCCREATE
// (it is the creation parameter), every later message goes to Derived::HandleMessage, and
// at WM_NCDESTROY the object is detached and Derived::OnDetached runs (it may delete it).
//
// WindowProc is the barrier between the program and Windows' frames: nothing a
// handler throws crosses it. What escaped is shown in the application's message dialog
// through Derived::dialogs(), one report at a time; the message that raised it answers 0
// (at WM_NCCREATE and WM_CREATE the window is not made), and the window goes on.
template <typename Derived>
class BaseWindow {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  BaseWindow() = default;
  ~BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // CreateWindowEx with this object behind the new window.
  HWND CreateWindowObject(DWORD ex_style, const TCHAR* class_name, const TCHAR* caption,
                          DWORD style, const RECT& bounds, HWND owner, HINSTANCE instance) {
    return ::CreateWindowEx(ex_style, class_name, caption, style, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr,
                            instance, static_cast<Derived*>(this));
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept {
    // Sent from another thread: the program has one, so from another process.
    const bool foreign = ::InSendMessage() != FALSE;
    auto* self = reinterpret_cast<Derived*>(::GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE && self == nullptr && !foreign) {
      self = static_cast<Derived*>(reinterpret_cast<const CREATESTRUCT*>(lparam)->lpCreateParams);
      if (self != nullptr) {
        ::SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
      }
    }
    if (self == nullptr) return ::DefWindowProc(hwnd, message, wparam, lparam);
    if (foreign && IsLifetimeMessage(message)) return 0;
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      const LRESULT result = ::DefWindowProc(hwnd, message, wparam, lparam);
      self->OnDetached();
      return result;
    }
    LRESULT result = ResultAfterException(message);
    try {
      result = self->HandleMessage(message, wparam, lparam);
    } catch (...) {
      Report(hwnd, self, std::current_exception());
    }
    return result;
  }

  // The window's own handle, which WindowProc sets and every handler of the derived window uses.
  // NOLINTNEXTLINE(cppcoreguidelines-non-private-member-variables-in-classes)
  HWND hwnd_ = nullptr;

 private:
  static void Report(HWND hwnd, Derived* self, const std::exception_ptr& error) noexcept {
    // While one report is on screen, its modal loop may run the failing handler again
    // (a paint, say): those are not reported a second time.
    if (self->reporting_) return;
    self->reporting_ = true;
    ReportException(self->dialogs(), error);
    // The window may have been destroyed, and its object deleted, while the box was up.
    if (reinterpret_cast<Derived*>(::GetWindowLongPtr(hwnd, GWLP_USERDATA)) == self) {
      self->reporting_ = false;
    }
  }

  bool reporting_ = false;
};

}  // namespace sb
