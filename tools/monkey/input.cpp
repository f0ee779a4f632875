#include "tools/monkey/input.h"

#include <cstdlib>
#include <initializer_list>
#include <utility>

namespace sb::monkey {
namespace {

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (const auto& [key, up] : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

const char* KeyName(WORD key) {
  switch (key) {
    case VK_TAB:
      return "Tab";
    case VK_UP:
      return "Up";
    case VK_DOWN:
      return "Down";
    case VK_HOME:
      return "Home";
    case VK_END:
      return "End";
    case VK_SPACE:
      return "Space";
    case VK_RETURN:
      return "Enter";
    case VK_ESCAPE:
      return "Esc";
    case VK_F10:
      return "F10";
    case VK_APPS:
      return "the menu key";
    default:
      return "?";
  }
}

void PressKey(WORD key) {
  SendKeys({{key, false}, {key, true}});
}

void PressWithShift(WORD key) {
  SendKeys({{VK_SHIFT, false}, {key, false}, {key, true}, {VK_SHIFT, true}});
}

void Click(POINT screen, bool right, int count) {
  static POINT last_point = {-1000, -1000};
  static bool last_right = false;
  static DWORD last_time = 0;
  if (right == last_right &&
      std::abs(screen.x - last_point.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(screen.y - last_point.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK)) {
    const DWORD wait = ::GetDoubleClickTime() + 50;
    const DWORD elapsed = ::GetTickCount() - last_time;
    if (elapsed < wait) ::Sleep(wait - elapsed);
  }
  ::SetCursorPos(screen.x, screen.y);
  std::vector<INPUT> inputs;
  for (int i = 0; i < count; ++i) {
    for (DWORD flag : {right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN,
                       right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP}) {
      INPUT input = {};
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = flag;
      inputs.push_back(input);
    }
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  last_point = screen;
  last_right = right;
  last_time = ::GetTickCount();
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  ::EnumThreadWindows(::GetCurrentThreadId(), AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> WindowsAndChildren() {
  std::vector<HWND> windows;
  for (HWND window : ThreadWindows()) {
    windows.push_back(window);
    ::EnumChildWindows(window, AddWindow, reinterpret_cast<LPARAM>(&windows));
  }
  return windows;
}

std::string TextOf(HWND window) {
  char text[128] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace sb::monkey
