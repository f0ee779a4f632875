#include "ui/win32/message_filter.h"

namespace sb {

PostedMessageFilter::PostedMessageFilter()
    : hook_(::SetWindowsHookEx(WH_GETMESSAGE, Filter, nullptr, ::GetCurrentThreadId())) {}

LRESULT CALLBACK PostedMessageFilter::Filter(int code, WPARAM wparam, LPARAM lparam) noexcept {
  if (code == HC_ACTION) {
    auto* message = reinterpret_cast<MSG*>(lparam);
    if (IsForgedPost(message->message)) message->message = WM_NULL;
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace sb
