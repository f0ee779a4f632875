#include "ui/win32/tfrm_properties.h"

#include <memory>

#include "ui/win32/window_util.h"

namespace sb {

// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
Tfrmproperties* frmproperties = nullptr;

namespace {

constexpr const TCHAR* kClassName = TEXT("Tfrmproperties");

}  // namespace

bool Tfrmproperties::RegisterClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, WindowProc, kClassName);
}

Tfrmproperties* Tfrmproperties::Create(HINSTANCE instance, HWND owner, HFONT font) {
  // Until its window exists, the object belongs to this function; then to the window.
  auto deleter = [](Tfrmproperties* object) { delete object; };
  std::unique_ptr<Tfrmproperties, decltype(deleter)> form(new Tfrmproperties(), deleter);
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
  const HWND hwnd = form->CreateWindowObject(ex_style, kClassName, TEXT("Properties"), style,
                                             bounds, owner, instance);
  if (hwnd == nullptr) return nullptr;
  Tfrmproperties* window = form.release();
  window->owned_by_window_ = true;
  frmproperties = window;  // the most recently created, here and nowhere else
  window->dialogs_.set_owner(hwnd);
  // GroupBox1 draws only its frame: the window keeps painting its background under it,
  // so the window does not clip its children.
  window->group_box_ =
      ::CreateWindowEx(0, TEXT("BUTTON"), TEXT(""), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0,
                       kClientWidth, kClientHeight, hwnd, nullptr, instance, nullptr);
  // Read-only, wrapped at the box's width, no scroll bars; the text can still be selected
  // and copied.
  window->memo_ = ::CreateWindowEx(0, TEXT("EDIT"), TEXT(""),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                                   2, 15, 486, 312, hwnd, nullptr, instance, nullptr);
  SetFont(window->group_box_, font);
  SetFont(window->memo_, font);
  return window;
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
  ::SetWindowText(memo_, TEXT(""));
}

void Tfrmproperties::Add(const Text& line) {
  const int length = ::GetWindowTextLength(memo_);
  const Text text = length > 0 ? Text(SB_T("\r\n")) + line : line;
  ::SendMessage(memo_, EM_SETSEL, length, length);
  ::SendMessage(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT Tfrmproperties::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_COMMAND:
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
