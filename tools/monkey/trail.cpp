#include "tools/monkey/trail.h"

#include <commctrl.h>
#include <dbt.h>

#include <cstdio>
#include <utility>

#include "tools/boxes/window_class.h"
#include "ui/win32/tfrm_properties.h"

namespace sb::monkey {
namespace {

// The messages worth a line: what the user did, what the windows were told to do, and how
// the program's windows came and went. Painting, hit tests, timers, mouse moves and the
// controls' own traffic would bury them.
const char* MessageName(UINT message) {
  switch (message) {
    case WM_CREATE:
      return "WM_CREATE";
    case WM_DESTROY:
      return "WM_DESTROY";
    case WM_CLOSE:
      return "WM_CLOSE";
    case WM_QUIT:
      return "WM_QUIT";
    case WM_QUERYENDSESSION:
      return "WM_QUERYENDSESSION";
    case WM_ENDSESSION:
      return "WM_ENDSESSION";
    case WM_SHOWWINDOW:
      return "WM_SHOWWINDOW";
    case WM_ACTIVATE:
      return "WM_ACTIVATE";
    case WM_SETFOCUS:
      return "WM_SETFOCUS";
    case WM_SIZE:
      return "WM_SIZE";
    case WM_KEYDOWN:
      return "WM_KEYDOWN";
    case WM_SYSKEYDOWN:
      return "WM_SYSKEYDOWN";
    case WM_CHAR:
      return "WM_CHAR";
    case WM_SYSCHAR:
      return "WM_SYSCHAR";
    case WM_COMMAND:
      return "WM_COMMAND";
    case WM_SYSCOMMAND:
      return "WM_SYSCOMMAND";
    case WM_CONTEXTMENU:
      return "WM_CONTEXTMENU";
    case WM_INITMENUPOPUP:
      return "WM_INITMENUPOPUP";
    case WM_ENTERMENULOOP:
      return "WM_ENTERMENULOOP";
    case WM_EXITMENULOOP:
      return "WM_EXITMENULOOP";
    case WM_ENTERSIZEMOVE:
      return "WM_ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE:
      return "WM_EXITSIZEMOVE";
    case WM_CANCELMODE:
      return "WM_CANCELMODE";
    case WM_LBUTTONDOWN:
      return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
      return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK:
      return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN:
      return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
      return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK:
      return "WM_RBUTTONDBLCLK";
    case WM_NCLBUTTONDOWN:
      return "WM_NCLBUTTONDOWN";
    case WM_NCLBUTTONUP:
      return "WM_NCLBUTTONUP";
    case WM_NCLBUTTONDBLCLK:
      return "WM_NCLBUTTONDBLCLK";
    case WM_NCRBUTTONDOWN:
      return "WM_NCRBUTTONDOWN";
    case WM_NCRBUTTONUP:
      return "WM_NCRBUTTONUP";
    case WM_NCRBUTTONDBLCLK:
      return "WM_NCRBUTTONDBLCLK";
    case WM_DEVICECHANGE:
      return "WM_DEVICECHANGE";
    default:
      return nullptr;
  }
}

// Hit-test codes, for the mouse messages of the window frame.
const char* HitName(WPARAM hit) {
  switch (hit) {
    case HTCLIENT:
      return "client";
    case HTCAPTION:
      return "caption";
    case HTSYSMENU:
      return "system menu icon";
    case HTMINBUTTON:
      return "minimize box";
    case HTMAXBUTTON:
      return "maximize box";
    case HTCLOSE:
      return "close box";
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTBOTTOM:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
      return "sizing border";
    case HTBORDER:
      return "border";
    default:
      return nullptr;
  }
}

const char* SysCommandName(WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE:
      return "SC_CLOSE";
    case SC_MOUSEMENU:
      return "SC_MOUSEMENU";
    case SC_KEYMENU:
      return "SC_KEYMENU";
    case SC_MOVE:
      return "SC_MOVE";
    case SC_SIZE:
      return "SC_SIZE";
    case SC_MINIMIZE:
      return "SC_MINIMIZE";
    case SC_MAXIMIZE:
      return "SC_MAXIMIZE";
    case SC_RESTORE:
      return "SC_RESTORE";
    default:
      return nullptr;
  }
}

// How the windows' own controls come, go and fit (a box builds and drops a dozen buttons,
// a resize moves every control) says nothing the messages of their windows do not.
bool Noise(HWND window, UINT message) {
  if ((::GetWindowLongPtr(window, GWL_STYLE) & WS_CHILD) == 0) return false;
  switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SHOWWINDOW:
    case WM_SIZE:
      return true;
    default:
      return false;
  }
}

}  // namespace

Trail::Trail(std::size_t capacity) : capacity_(capacity) {
  instance_ = this;
  sent_.reset(::SetWindowsHookEx(WH_CALLWNDPROC, OnSent, nullptr, ::GetCurrentThreadId()));
  posted_.reset(::SetWindowsHookEx(WH_GETMESSAGE, OnPosted, nullptr, ::GetCurrentThreadId()));
}

Trail::~Trail() {
  sent_.reset();
  posted_.reset();
  instance_ = nullptr;
}

void Trail::Add(std::string line) {
  const std::lock_guard lock(mutex_);
  // A run of the same line (a burst of device changes) takes one line and a count.
  if (line == last_) {
    ++repeats_;
    lines_.back() = last_ + " (" + std::to_string(repeats_ + 1) + " times)";
    return;
  }
  if (lines_.size() == capacity_) lines_.pop_front();
  last_ = line;
  repeats_ = 0;
  lines_.push_back(std::move(line));
}

void Trail::Print() const {
  const std::lock_guard lock(mutex_);
  std::printf("trail: the last %zu events and messages, oldest first\n", lines_.size());
  for (const std::string& line : lines_) std::printf("  %s\n", line.c_str());
  std::fflush(stdout);
}

std::string Trail::Describe(HWND window) {
  const std::lock_guard lock(mutex_);
  if (window == nullptr) return "no window";
  const auto known = names_.find(window);
  if (known != names_.end()) return known->second;
  const std::string class_name = ClassOf(window);
  std::string name;
  if (class_name == TextToAscii(Tfrmproperties::kClassName)) {
    name = "Properties " + std::to_string(++properties_);
  } else if (class_name == kDialogClass) {
    name = "box " + std::to_string(++boxes_);
  } else if (class_name == kMenuClass) {
    name = "menu " + std::to_string(++menus_);
  } else {
    const HWND parent = ::GetAncestor(window, GA_PARENT);
    if (parent != nullptr && parent != ::GetDesktopWindow()) {
      return class_name + " in " + Describe(parent);  // a control of a box or a window
    }
    return class_name;
  }
  names_[window] = name;
  return name;
}

LRESULT CALLBACK Trail::OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept {
  if (instance_ != nullptr && code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
    instance_->OnMessage("sent  ", sent->hwnd, sent->message, sent->wParam, sent->lParam);
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK Trail::OnPosted(int code, WPARAM wparam, LPARAM lparam) noexcept {
  if (instance_ != nullptr && code == HC_ACTION && wparam == PM_REMOVE) {
    const auto* posted = reinterpret_cast<const MSG*>(lparam);
    instance_->OnMessage("queued", posted->hwnd, posted->message, posted->wParam, posted->lParam);
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

void Trail::OnMessage(const char* how, HWND window, UINT message, WPARAM wparam,
                      LPARAM lparam) noexcept {
  if (message == WM_NCDESTROY) {
    // The window and its controls are gone: a handle used again gets a name of its own.
    const std::lock_guard lock(mutex_);
    names_.erase(window);
    return;
  }
  const char* name = MessageName(message);
  if (name == nullptr || Noise(window, message)) return;
  try {
    char detail[96] = "";
    if (message == WM_SYSCOMMAND && SysCommandName(wparam) != nullptr) {
      std::snprintf(detail, sizeof detail, " %s", SysCommandName(wparam));
    } else if (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK &&
               HitName(wparam) != nullptr) {
      std::snprintf(detail, sizeof detail, " on the %s at %d,%d", HitName(wparam),
                    static_cast<int>(static_cast<short>(LOWORD(lparam))),
                    static_cast<int>(static_cast<short>(HIWORD(lparam))));
    } else if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) {
      std::snprintf(detail, sizeof detail, " at %d,%d",
                    static_cast<int>(static_cast<short>(LOWORD(lparam))),
                    static_cast<int>(static_cast<short>(HIWORD(lparam))));
    } else {
      std::snprintf(detail, sizeof detail, " 0x%llx 0x%llx",
                    static_cast<unsigned long long>(wparam),
                    static_cast<unsigned long long>(lparam));
    }
    Add(std::string("    ") + how + " " + name + detail + " to " + Describe(window));
  } catch (...) {
    // Out of memory for the trail: the message goes unrecorded; the run goes on.
  }
}

}  // namespace sb::monkey
