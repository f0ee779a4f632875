// Answers the message boxes that the calling thread opens, and records what each one asked.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace sb::test {

// While it lives, every message box of this thread is read ("caption|text") as it is
// activated and then answered with the given button. on_box runs at that moment too, with
// the box still up, so a test can make things happen while a modal loop runs.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int answer, std::function<void()> on_box = {})
      : answer_(answer),
        on_box_(std::move(on_box)),
        hook_(::SetWindowsHookEx(WH_CBT, Hook, nullptr, ::GetCurrentThreadId())) {
    instance_ = this;
  }
  ~BoxAnswerer() {
    ::UnhookWindowsHookEx(hook_);
    instance_ = nullptr;
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  std::vector<std::string> boxes;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    const HWND window = reinterpret_cast<HWND>(wparam);
    char class_name[16] = {};
    if (code == HCBT_ACTIVATE && instance_ != nullptr &&
        ::GetClassNameA(window, class_name, sizeof class_name) > 0 &&
        std::string(class_name) == "#32770") {
      char caption[128] = {};
      char text[512] = {};
      ::GetWindowTextA(window, caption, sizeof caption);
      ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the box's static text
      instance_->boxes.push_back(std::string(caption) + "|" + text);
      if (instance_->on_box_) instance_->on_box_();
      ::PostMessage(window, WM_COMMAND, instance_->answer_, 0);
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
  }

  static inline BoxAnswerer* instance_ = nullptr;
  int answer_;
  std::function<void()> on_box_;
  HHOOK hook_;
};

}  // namespace sb::test
