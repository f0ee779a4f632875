// The least a Win32 program does to put a window on the screen: register a class, create
// a window, show it and run the message loop. The start-up harness compares the program's
// start-up against this one.
//
// Built as minimal_listview (SB_MINIMAL_LISTVIEW) it also loads the common controls and
// puts a report-style list view of six rows in the window before showing it: the share of
// the program's start-up that a list control alone costs. The plain build does not link
// the common controls at all, so that their loading is not counted against it.
#include <windows.h>
#ifdef SB_MINIMAL_LISTVIEW
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

#ifdef SB_MINIMAL_LISTVIEW
void AddListView(HWND window, HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600,
                                400, window, reinterpret_cast<HMENU>(100), instance, nullptr);
  wchar_t heading[] = L"Disk";
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 100;
  column.pszText = heading;
  ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  for (int i = 0; i < 6; ++i) {
    wchar_t text[] = L"0";
    text[0] = static_cast<wchar_t>(L'0' + i);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = text;
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"SbMinimalWindow";
  if (::RegisterClassW(&window_class) == 0) return 1;
  HWND window = ::CreateWindowExW(0, L"SbMinimalWindow", L"Minimal window", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                  instance, nullptr);
  if (window == nullptr) return 1;
#ifdef SB_MINIMAL_LISTVIEW
  AddListView(window, instance);
#endif
  ::ShowWindow(window, show);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
