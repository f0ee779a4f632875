#include "ui/win32/tfrm_properties.h"

#include <commctrl.h>

#include <memory>

#include "platform/error.h"
#include "ui/win32/window_util.h"

namespace sb {

// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
Tfrmproperties* frmproperties = nullptr;

bool Tfrmproperties::RegisterClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, WindowProc, kClassName);
}

Tfrmproperties* Tfrmproperties::Create(HINSTANCE instance, HWND owner, HFONT font) {
  // Until its window exists, the object belongs to this function; then to the window.
  auto deleter = [](Tfrmproperties* object) { delete object; };
  std::unique_ptr<Tfrmproperties, decltype(deleter)> form(new Tfrmproperties(), deleter);
  form->font_ = font;
  // A tool window: small caption bar, fixed size, neither minimize nor maximize box.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  const DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
  RECT rect = {0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  const RECT bounds = {left, top, left + width, top + height};
  // A window whose controls could not all be made is not made (WM_CREATE).
  if (form->CreateWindowObject(ex_style, kClassName, TEXT("Properties"), style, bounds, owner,
                               instance) == nullptr) {
    return nullptr;
  }
  Tfrmproperties* window = form.release();
  window->owned_by_window_ = true;
  frmproperties = window;  // the most recently created, here and nowhere else
  return window;
}

// WM_CREATE: GroupBox1 and Memo1, or false when one cannot be made.
bool Tfrmproperties::CreateControls(HINSTANCE instance) {
  // GroupBox1 draws only its frame: the window keeps painting its background under it,
  // so the window does not clip its children.
  group_box_ = ::CreateWindowEx(0, TEXT("BUTTON"), TEXT(""), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0,
                                0, kClientWidth, kClientHeight, hwnd_, nullptr, instance, nullptr);
  if (group_box_ == nullptr) return false;
  // Read-only, wrapped at the box's width, no scroll bars; the text can still be selected
  // and copied. A multi-line edit control without ES_AUTOVSCROLL refuses any insertion that
  // would not fit its visible height; with it, the box holds every line and scrolls to the
  // caret, which the caret keys, Ctrl+End and Ctrl+Home move.
  memo_ = ::CreateWindowEx(
      0, TEXT("EDIT"), TEXT(""),
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 2, 15, 486,
      312, hwnd_, nullptr, instance, nullptr);
  if (memo_ == nullptr) return false;
  // The edit control's default limit (30000 characters in a multi-line box) also bounds
  // what the program inserts; 0 lifts it to the control's largest.
  ::SendMessage(memo_, EM_SETLIMITTEXT, 0, 0);
  if (!::SetWindowSubclass(memo_, MemoProc, 0, 0)) return false;
  SetFont(group_box_, font_);
  SetFont(memo_, font_);
  return true;
}

Tfrmproperties::~Tfrmproperties() {
  if (frmproperties == this) frmproperties = nullptr;
}

void Tfrmproperties::SetCaption(const Text& caption) {
  ::SetWindowText(hwnd_, caption.c_str());
}

void Tfrmproperties::Show() {
  ::ShowWindow(hwnd_, SW_SHOW);
  FormShow();
}

void Tfrmproperties::FormShow() {
  ::SetForegroundWindow(hwnd_);
  ::SetFocus(hwnd_);
}

void Tfrmproperties::FormClose() {
  ::DestroyWindow(hwnd_);
}

void Tfrmproperties::Clear() {
  lines_added_ = 0;
  if (!::SetWindowText(memo_, TEXT(""))) {
    throw Error(SB_T("The Properties window could not empty its text box."));
  }
}

// Each line goes in at the end of the text. The edit control tells a refused insertion
// only by a notification, so the text's length is checked as well: a line the box did not
// take whole stops the report with a message, never silently.
void Tfrmproperties::Add(const Text& line) {
  const int length = ::GetWindowTextLength(memo_);
  const Text text = lines_added_ > 0 ? Text(SB_T("\r\n")) + line : line;
  memo_refused_ = false;
  ::SendMessage(memo_, EM_SETSEL, length, length);
  ::SendMessage(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  ++lines_added_;
  const auto after = static_cast<std::size_t>(::GetWindowTextLength(memo_));
  if (memo_refused_ || after < static_cast<std::size_t>(length) + text.size()) {
    // What part of the line went in comes out again: the box holds whole lines only.
    ::SendMessage(memo_, EM_SETSEL, length, -1);
    ::SendMessage(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(TEXT("")));
    throw Error(SB_T("The Properties window could not show line ") + DecUnsigned(lines_added_) +
                SB_T(" of the report (") + DecUnsigned(line.size()) +
                SB_T(" characters); the lines from there on are missing."));
  }
  // The box shows the report from its first line, as a box filled at once would.
  ::SendMessage(memo_, EM_SETSEL, 0, 0);
  ::SendMessage(memo_, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK Tfrmproperties::MemoProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR id, DWORD_PTR data) noexcept {
  (void)data;
  switch (message) {
    case WM_KEYDOWN:
      if (wparam == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
        ::SendMessage(hwnd, EM_SETSEL, 0, -1);
        return 0;
      }
      break;
    case WM_CHAR:
      // Ctrl+A's character: the selection is made; a read-only box would only beep at it.
      if (wparam == 0x01) return 0;
      break;
    case WM_GETDLGCODE: {
      // A multi-line box asks for every key; Esc is left to the window, which closes.
      // Only this thread's own query carries a message to read.
      LRESULT code = ::DefSubclassProc(hwnd, message, wparam, lparam);
      const auto* key = reinterpret_cast<const MSG*>(lparam);
      if (!::InSendMessage() && key != nullptr && key->message == WM_KEYDOWN &&
          key->wParam == VK_ESCAPE) {
        code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
      }
      return code;
    }
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hwnd, MemoProc, id);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT Tfrmproperties::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      dialogs_.set_owner(hwnd_);
      return CreateControls(reinterpret_cast<const CREATESTRUCT*>(lparam)->hInstance) ? 0 : -1;
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_SETFOCUS:
      // Whenever the window gets the focus (shown, activated again, clicked), Memo1 takes
      // it: the caret keys, Ctrl+A and Esc go to the text box.
      if (memo_ != nullptr) ::SetFocus(memo_);
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lparam) == memo_ && memo_ != nullptr &&
          (HIWORD(wparam) == EN_ERRSPACE || HIWORD(wparam) == EN_MAXTEXT)) {
        memo_refused_ = true;
        return 0;
      }
      if (LOWORD(wparam) == IDCANCEL) {  // Esc closes the window like its close box
        FormClose();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The read-only text box draws on the window's own background.
      if (reinterpret_cast<HWND>(lparam) == memo_) {
        ::SetBkColor(reinterpret_cast<HDC>(wparam), ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    default:
      break;
  }
  return ::DefWindowProc(hwnd_, message, wparam, lparam);
}

}  // namespace sb
