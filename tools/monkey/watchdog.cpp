#include "tools/monkey/watchdog.h"

#include <cstdio>
#include <string>

#include "tools/boxes/window_class.h"
#include "tools/monkey/input.h"

namespace sb::monkey {

Watchdog::Watchdog(Trail& trail)
    : timer_(::SetTimer(nullptr, 0, 1000, Fire)),
      hook_(::SetWindowsHookEx(WH_CALLWNDPROC, OnSent, nullptr, ::GetCurrentThreadId())) {
  trail_ = &trail;
}

Watchdog::~Watchdog() {
  ::KillTimer(nullptr, timer_);
  trail_ = nullptr;
}

LRESULT CALLBACK Watchdog::OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept {
  if (code == HC_ACTION) {
    const UINT message = reinterpret_cast<const CWPSTRUCT*>(lparam)->message;
    if (message == WM_ENTERSIZEMOVE) ++size_move_loops_;
    if (message == WM_EXITSIZEMOVE && size_move_loops_ > 0) --size_move_loops_;
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

void CALLBACK Watchdog::Fire(HWND, UINT, UINT_PTR, DWORD) {
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  ::GetGUIThreadInfo(::GetCurrentThreadId(), &thread);
  if (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) {
    Note("a menu left open: ended");
  }
  ::EndMenu();  // nothing when no menu is open
  if (size_move_loops_ > 0 || (thread.flags & GUI_INMOVESIZE)) {
    Note("a move or size left open: Esc");
    PressKey(VK_ESCAPE);
  }
  for (HWND window : ThreadWindows()) {
    if (HasClass(window, kDialogClass)) {
      Note("a box left open: Cancel");
      ::PostMessage(window, WM_COMMAND, IDCANCEL, 0);
    }
  }
}

void Watchdog::Note(const char* what) {
  if (trail_ != nullptr) trail_->Add(std::string("  watchdog: ") + what);
}

StallWatch::StallWatch(Trail& trail, const std::atomic<int>& progress)
    : trail_(trail),
      progress_(progress),
      thread_id_(::GetCurrentThreadId()),
      thread_([this] { Watch(); }) {}

StallWatch::~StallWatch() {
  stop_ = true;
  thread_.join();
}

void StallWatch::Watch() {
  int seen = progress_;
  int still = 0;
  while (!stop_) {
    ::Sleep(250);
    if (progress_ != seen) {
      seen = progress_;
      still = 0;
    } else if (++still == kStallSeconds * 4) {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      ::GetGUIThreadInfo(thread_id_, &info);
      std::printf(
          "FAIL: no progress for %d seconds at event %d; the windows' thread: flags 0x%lx, "
          "active %s, focus %s, capture %s, menu owner %s, moving or sizing %s\n",
          kStallSeconds, seen, static_cast<unsigned long>(info.flags),
          ClassOf(info.hwndActive).c_str(), ClassOf(info.hwndFocus).c_str(),
          ClassOf(info.hwndCapture).c_str(), ClassOf(info.hwndMenuOwner).c_str(),
          ClassOf(info.hwndMoveSize).c_str());
      trail_.Print();
      std::fflush(stdout);
      ::ExitProcess(1);
    }
  }
}

}  // namespace sb::monkey
