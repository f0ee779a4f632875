#include "tools/window_runner/window_observer.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tools/boxes/window_class.h"
#include "tools/scenario/output_text.h"
#include "tools/window_runner/box_forms.h"
#include "tools/window_runner/screen_text.h"
#include "ui/main_form.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"

namespace sb::window_runner {
namespace {

constexpr const wchar_t* kMarkerClass = L"SpindlebayRunnerMarker";

// The box type as its buttons, default button and icon show it.
std::uint32_t BoxType(HWND box) {
  struct ButtonSet {
    std::uint32_t type;
    std::vector<int> buttons;
  };
  const ButtonSet sets[] = {
      {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
      {MB_YESNO, {IDYES, IDNO}},
      {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
      {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}},
      {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
      {MB_OKCANCEL, {IDOK, IDCANCEL}},
      {MB_OK, {IDOK}},
  };
  std::uint32_t type = 0;
  std::vector<int> buttons;
  for (const ButtonSet& set : sets) {
    bool all = true;
    for (int id : set.buttons) all = all && ::GetDlgItem(box, id) != nullptr;
    if (all) {
      type = set.type;
      buttons = set.buttons;
      break;
    }
  }
  const LRESULT default_id = ::SendMessage(box, DM_GETDEFID, 0, 0);
  if (HIWORD(default_id) == DC_HASDEFID) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i] == LOWORD(default_id)) type |= static_cast<std::uint32_t>(i) << 8;
    }
  }
  const struct {
    std::uint32_t type;
    const TCHAR* icon;
  } icons[] = {{MB_ICONHAND, IDI_HAND},
               {MB_ICONQUESTION, IDI_QUESTION},
               {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
               {MB_ICONASTERISK, IDI_ASTERISK}};
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child) || ClassOf(child) != "Static") continue;
    const auto shown = reinterpret_cast<HICON>(::SendMessage(child, STM_GETICON, 0, 0));
    if (shown == nullptr) continue;
    for (const auto& icon : icons) {
      if (shown == ::LoadIcon(nullptr, icon.icon)) type |= icon.type;
    }
  }
  return type;
}

}  // namespace

WindowObserver::WindowObserver(const TfrmMain& main_window)
    : main_window_(main_window),
      boxes_(BoxPolicy{.answer = [this](const ShownBox& box) { return AnswerBox(box); },
                       .record = [this](const ShownBox& box, int) { RecordBox(box); }}) {
  instance_ = this;
  WNDCLASSEXW marker_class = {};
  marker_class.cbSize = sizeof marker_class;
  marker_class.lpfnWndProc = MarkerProc;
  marker_class.hInstance = ::GetModuleHandle(nullptr);
  marker_class.lpszClassName = kMarkerClass;
  ::RegisterClassExW(&marker_class);
  marker_window_ = ::CreateWindowExW(0, kMarkerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandle(nullptr), nullptr);
  marker_ = ::RegisterWindowMessageW(L"SpindlebayRunnerPause");
  sent_.reset(::SetWindowsHookEx(WH_CALLWNDPROC, OnSent, nullptr, ::GetCurrentThreadId()));
}

WindowObserver::~WindowObserver() {
  sent_.reset();
  if (marker_window_ != nullptr) ::DestroyWindow(marker_window_);
  instance_ = nullptr;
}

bool WindowObserver::installed() const {
  return boxes_.installed() && sent_.valid() && marker_window_ != nullptr && marker_ != 0;
}

void WindowObserver::MarkPause() {
  ::PostMessage(marker_window_, marker_, 0, 0);
}

std::vector<WindowObserver::Event> WindowObserver::TakeEvents() {
  std::vector<Event> events;
  events.swap(events_);
  return events;
}

LRESULT CALLBACK WindowObserver::OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept {
  if (instance_ != nullptr && code == HC_ACTION) {
    instance_->OnSentMessage(*reinterpret_cast<const CWPSTRUCT*>(lparam));
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK WindowObserver::MarkerProc(HWND hwnd, UINT message, WPARAM wparam,
                                            LPARAM lparam) noexcept {
  if (instance_ != nullptr && message == instance_->marker_ && instance_->in_action_) {
    instance_->events_.push_back({"(pending messages run)"});
  }
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

// The queued answer, or Yes to a question and OK to the rest.
int WindowObserver::AnswerBox(const ShownBox& box) {
  int answer = (BoxType(box.window) & 0xF) == MB_YESNO ? IDYES : IDOK;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  return answer;
}

HWND WindowObserver::MainWindow() const {
  return main_window_.hwnd();
}

// A box is activated once it is on screen: it is read and recorded.
void WindowObserver::RecordBox(const ShownBox& shown) {
  const HWND box = shown.window;
  const std::string caption = WindowText(box);
  const std::string text = DialogItemText(box, 0xFFFF);
  const HWND owner = ::GetWindow(box, GW_OWNER);
  const std::uint32_t type = BoxType(box);
  const std::string title = TextToAscii(kProgramTitle);
  if (owner == MainWindow() && owner != nullptr && caption == title && type == MB_OK) {
    // The application's message dialog.
    events_.push_back({"message: " + scenario::Escaped(text)});
  } else {
    const char* form = LastBoxForm() == BoxForm::kSingleByte ? "single-byte"
                       : LastBoxForm() == BoxForm::kWide     ? "wide"
                                                             : "unknown";
    const char* owned = owner == nullptr ? "none" : owner == MainWindow() ? "main" : "other";
    char head[96];
    std::snprintf(head, sizeof head, "box [%s, %s, type 0x%X] ", owned, form,
                  static_cast<unsigned>(type));
    events_.push_back({head + scenario::Escaped(caption) + ": " + scenario::Escaped(text)});
  }
}

void WindowObserver::OnSentMessage(const CWPSTRUCT& sent) {
  const HWND main = MainWindow();
  if (main == nullptr) return;
  // The status text as the program sets it, in its own character form.
  if (sent.message == SB_SETTEXT && sent.hwnd == ::GetDlgItem(main, TfrmMain::kIdStatusBar)) {
    const Text text = sent.lParam ? reinterpret_cast<const Char*>(sent.lParam) : Text();
    if (text.size() > kLongestStatusText) {
      error_ = "a status text of " + std::to_string(text.size()) +
               " characters, longer than the status bar can be read back";
    }
    events_.push_back({"status: " + scenario::Escaped(TextToAscii(text))});
  } else if (sent.message == LVM_DELETEALLITEMS &&
             sent.hwnd == ::GetDlgItem(main, TfrmMain::kIdList)) {
    events_.push_back({"refresh"});
  } else if (sent.message == WM_SHOWWINDOW && sent.wParam &&
             ClassOf(sent.hwnd) == TextToAscii(Tfrmproperties::kClassName)) {
    events_.push_back({"", sent.hwnd});
  }
}

}  // namespace sb::window_runner
