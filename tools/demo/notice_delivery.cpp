#include "tools/demo/notice_delivery.h"

#include <dbt.h>

#include "ui/win32/tfrm_main.h"

namespace sb::demo {

void NoticePostingMachine::PostNotices() {
  for (const auto& notice : TakeNotices()) {
    ::PostMessageW(notice_window_, NoticeWindow::kNoticeMessage, notice.event, notice.unit_mask);
  }
}

bool NoticePostingMachine::DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                                           MutableBytes output) {
  const bool ok = SimMachine::DeviceIoControl(device, code, input, output);
  PostNotices();
  return ok;
}

bool NoticePostingMachine::SetVolumeMountPointA(const std::string& mount_point,
                                                const std::string& volume) {
  const bool ok = SimMachine::SetVolumeMountPointA(mount_point, volume);
  PostNotices();
  return ok;
}

bool NoticePostingMachine::DeleteVolumeMountPointA(const std::string& mount_point) {
  const bool ok = SimMachine::DeleteVolumeMountPointA(mount_point);
  PostNotices();
  return ok;
}

NoticeWindow::NoticeWindow(HINSTANCE instance, const wchar_t* class_name, AppHandler handler,
                           void* context)
    : handler_(handler), context_(context) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = class_name;
  ::RegisterClassW(&window_class);
  // A hidden top-level window rather than a message-only one, so that FindWindow finds it.
  hwnd_ =
      ::CreateWindowW(class_name, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NoticeWindow::~NoticeWindow() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK NoticeWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                          LPARAM lparam) noexcept {
  if (message >= kNoticeMessage && message < 0xC000) {
    const auto* self =
        reinterpret_cast<const NoticeWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return 0;
    if (message == kNoticeMessage) {
      const HWND target = self->target_ != nullptr ? self->target_->hwnd() : nullptr;
      if (target != nullptr) {
        DEV_BROADCAST_VOLUME volume = {};
        volume.dbcv_size = sizeof volume;
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_unitmask = static_cast<DWORD>(lparam);
        ::SendMessageW(target, WM_DEVICECHANGE, wparam, reinterpret_cast<LPARAM>(&volume));
      }
    } else if (self->handler_ != nullptr) {
      self->handler_(self->context_, message);
    }
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace sb::demo
