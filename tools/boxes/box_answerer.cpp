#include "tools/boxes/box_answerer.h"

#include <algorithm>

#include "tools/boxes/window_class.h"

namespace sb {
namespace {

constexpr int kStandardButtons[] = {IDOK,  IDCANCEL, IDABORT,    IDRETRY,   IDIGNORE,
                                    IDYES, IDNO,     IDTRYAGAIN, IDCONTINUE};

}  // namespace

bool ShownBox::Has(int button) const {
  return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

int YesOrOk(const ShownBox& box) {
  return box.Has(IDYES) ? IDYES : IDOK;
}

BoxAnswerer::BoxAnswerer(BoxPolicy policy) : policy_(std::move(policy)) {
  if (instance_ != nullptr) return;  // another answerer holds the thread
  instance_ = this;
  hook_.reset(::SetWindowsHookEx(WH_CBT, Hook, nullptr, ::GetCurrentThreadId()));
  if (!hook_.valid()) instance_ = nullptr;
}

BoxAnswerer::~BoxAnswerer() {
  if (instance_ == this) instance_ = nullptr;
}

LRESULT CALLBACK BoxAnswerer::Hook(int code, WPARAM wparam, LPARAM lparam) noexcept {
  BoxAnswerer* const answerer = instance_;
  const HWND window = reinterpret_cast<HWND>(wparam);
  if (answerer != nullptr) {
    if (code == HCBT_ACTIVATE && HasClass(window, kDialogClass)) answerer->Answer(window);
    if (code == HCBT_CREATEWND && !answerer->Creating(window)) return 1;
    if (code == HCBT_DESTROYWND) answerer->answered_.erase(window);
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

void BoxAnswerer::Answer(HWND box) noexcept {
  ShownBox shown;
  shown.window = box;
  int answer = IDCANCEL;
  try {
    if (!answered_.insert(box).second) return;
    for (int id : kStandardButtons) {
      if (::GetDlgItem(box, id) != nullptr) shown.buttons.push_back(id);
    }
    answer = policy_.answer ? policy_.answer(shown) : YesOrOk(shown);
    if (policy_.record) policy_.record(shown, answer);
  } catch (...) {
    ++failures_;
    answer = YesOrOk(shown);
  }
  ++answered_count_;
  ::PostMessage(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                reinterpret_cast<LPARAM>(::GetDlgItem(box, answer)));
}

bool BoxAnswerer::Creating(HWND window) noexcept {
  if (!policy_.creating) return true;
  try {
    return policy_.creating(window, ClassOf(window));
  } catch (...) {
    ++failures_;
    return true;
  }
}

}  // namespace sb
