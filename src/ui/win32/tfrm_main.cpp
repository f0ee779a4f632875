#include "ui/win32/tfrm_main.h"

#include <commctrl.h>
#include <windowsx.h>
#include <dbt.h>

#include <algorithm>
#include <stdexcept>

#include "platform/error.h"
#include "platform/records.h"
#include "ui/disk_list.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/tfrm_properties.h"
#include "ui/win32/window_util.h"

namespace sb {

// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
TfrmMain* frmMain = nullptr;

namespace {

constexpr const TCHAR* kPanelClassName = TEXT("SpindlebayPanel");

struct Column {
  const TCHAR* caption;
  int width;
};
constexpr Column kColumns[] = {
    {TEXT("#"), 25},         {TEXT("Type"), 50},        {TEXT("Name"), 100},
    {TEXT("Size (MB)"), 75}, {TEXT("Attributes"), 125},
};

// Panel1's buttons stand in a row, 75 by 25 pixels, 88 pixels apart.
constexpr int kFirstButtonLeft = 16;
constexpr int kButtonPitch = 88;
constexpr int kButtonTop = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

// The window's outer rectangle for its style: the 64-bit program lets Windows place the
// window and sizes it for its client area; the 32-bit program opens at a fixed place with a
// fixed outer size.
RECT InitialBounds(DWORD style, DWORD ex_style) {
#ifdef SPINDLEBAY_NARROW
  (void)style;
  (void)ex_style;
  return RECT{283, 237, 283 + 415, 237 + 303};
#else
  RECT rect = {0, 0, TfrmMain::kClientWidth, TfrmMain::kClientHeight};
  ::AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  return RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + (rect.right - rect.left),
              CW_USEDEFAULT + (rect.bottom - rect.top)};
#endif
}

}  // namespace

TfrmMain::TfrmMain(HINSTANCE instance, Platform& platform, VolumeTable& volume_table)
    : instance_(instance), form_(platform, *this, volume_table), font_(CreateProgramFont()) {}

TfrmMain::~TfrmMain() {
  // The controls go with the window, before the members close the font and the menu.
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  if (frmMain == this) frmMain = nullptr;
}

bool TfrmMain::RegisterClasses(HINSTANCE instance) {
  return RegisterWindowClass(instance, WindowProc, kClassName,
                             ::LoadIcon(instance, MAKEINTRESOURCE(1))) &&
         RegisterWindowClass(instance, PanelProc, kPanelClassName);
}

bool TfrmMain::Create() {
  // Sizeable border, system menu and minimize box, no maximize box.
  const DWORD style =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_CONTROLPARENT;
  if (CreateWindowObject(ex_style, kClassName, kMainCaption, style, InitialBounds(style, ex_style),
                         nullptr, instance_) == nullptr) {
    return false;
  }
  frmMain = this;
  form_.FormCreate();
  return true;
}

// WM_CREATE: every control, or false when one cannot be made (the window is then not made).
bool TfrmMain::CreateControls() {
  list_ = ::CreateWindowEx(
      WS_EX_CLIENTEDGE, WC_LISTVIEW, TEXT(""),
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
      kClientWidth, 196, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdList)), instance_,
      nullptr);
  if (list_ == nullptr) return false;
  ListView_SetExtendedListViewStyle(list_,
                                    LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  SetFont(list_, font_.get());
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = ReadOnlyInput(kColumns[i].caption);
    column.cx = kColumns[i].width;
    column.iSubItem = i;
    if (ListView_InsertColumn(list_, i, &column) < 0) return false;
  }

  // The bar keeps the height it is given rather than one derived from its font.
  status_bar_ = ::CreateWindowEx(
      0, STATUSCLASSNAME, TEXT(""),
      WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 0, 0, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar)), instance_, nullptr);
  if (status_bar_ == nullptr) return false;
  SetFont(status_bar_, font_.get());
  ::SendMessage(status_bar_, SB_SIMPLE, TRUE, 0);

  panel_ = ::CreateWindowEx(
      WS_EX_CONTROLPARENT, kPanelClassName, TEXT(""), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
      kClientWidth, kPanelHeight, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdPanel)),
      instance_, nullptr);
  if (panel_ == nullptr) return false;
  for (std::size_t i = 0; i < std::size(kCommandButtons); ++i) {
    const CommandButton& button = kCommandButtons[i];
    buttons_[i] = ::CreateWindowEx(
        0, TEXT("BUTTON"), button.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
        kFirstButtonLeft + static_cast<int>(i) * kButtonPitch, kButtonTop, kButtonWidth,
        kButtonHeight, panel_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ButtonId(button))),
        instance_, nullptr);
    if (buttons_[i] == nullptr) return false;
    SetFont(buttons_[i], font_.get());
  }

  popup_.reset(::CreatePopupMenu());
  return popup_.valid() &&
         ::AppendMenu(popup_.get(), MF_STRING, kIdShowDiskPartInformations1,
                      TEXT("Show Disk/Part Informations")) &&
         ::AppendMenu(popup_.get(), MF_SEPARATOR, 0, nullptr) &&
         ::AppendMenu(popup_.get(), MF_STRING, kIdRefresh1, TEXT("Refresh"));
}

void TfrmMain::Layout() {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const int bar_top = std::max(0, static_cast<int>(client.bottom) - kStatusBarHeight);
  const int panel_top = std::max(0, bar_top - kPanelHeight);
  ::MoveWindow(status_bar_, 0, bar_top, client.right, kStatusBarHeight, TRUE);
  ::MoveWindow(panel_, 0, panel_top, client.right, kPanelHeight, TRUE);
  ::MoveWindow(list_, 0, 0, client.right, panel_top, TRUE);
}

// Panel1 hands its buttons' commands to the main window.
LRESULT CALLBACK TfrmMain::PanelProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept {
  if (message == WM_COMMAND) {
    return ::SendMessage(::GetParent(hwnd), message, wparam, lparam);
  }
  return ::DefWindowProc(hwnd, message, wparam, lparam);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      dialogs_.set_owner(hwnd_);
      return CreateControls() ? 0 : -1;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SHOWWINDOW:
      if (wparam && !shown_) {
        shown_ = true;
        form_.FormShow();
      }
      break;
    case WM_NOTIFY:
      // The controls notify from this thread. Another process's notification carries a
      // pointer into its own memory, or into nowhere.
      if (::InSendMessage()) return 0;
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam), lparam);
    case WM_COMMAND:
      OnCommand(LOWORD(wparam));
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == list_) {
        ShowPopupMenu(lparam);
        return 0;
      }
      break;
    case WM_DEVICECHANGE:
      return OnDeviceChange(wparam, lparam);
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProc(hwnd_, message, wparam, lparam);
}

// WMDeviceChange. Only an arrival and a completed removal carry a broadcast record; for
// every other event lParam is not a record (often not a pointer at all) and is never read.
// The record is read only within the size it declares, and never past a volume record.
LRESULT TfrmMain::OnDeviceChange(WPARAM wparam, LPARAM lparam) {
  const LRESULT result = ::DefWindowProc(hwnd_, WM_DEVICECHANGE, wparam, lparam);
  const bool carries_record = wparam == DBT_DEVICEARRIVAL || wparam == DBT_DEVICEREMOVECOMPLETE;
  if (!carries_record) return result;
  ConstBytes record;
  if (lparam != 0) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(lparam);
    const std::size_t declared = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam)->dbch_size;
    record = ConstBytes(bytes, std::min(declared, rec::kBroadcastVolumeSize));
  }
  form_.WMDeviceChange(static_cast<std::uint32_t>(wparam), record);
  return result;
}

LRESULT TfrmMain::OnNotify(const NMHDR& header, LPARAM lparam) {
  if (header.hwndFrom != list_) return 0;
  switch (header.code) {
    case NM_CUSTOMDRAW: {
      // lvdisksCustomDrawItem: every row is a "DISK" row and is drawn on light grey.
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lparam);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        draw->clrTextBk = kDiskRowBackground;  // same value in COLORREF order: grey is symmetric
        return CDRF_DODEFAULT;
      }
      return CDRF_DODEFAULT;
    }
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
      if ((change->uChanged & LVIF_STATE) &&
          ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) {
        form_.lvdisksSelectItem();
      }
      return 0;
    }
    case NM_DBLCLK:
      form_.lvdisksDblClick();
      return 0;
    default:
      return 0;
  }
}

void TfrmMain::OnCommand(int id) {
  for (const CommandButton& button : kCommandButtons) {
    if (id == ButtonId(button)) {
      (form_.*button.click)();
      return;
    }
  }
  switch (id) {
    case kIdShowDiskPartInformations1:
      form_.ShowDiskPartInformations1Click();
      break;
    case kIdRefresh1:
      form_.Refresh1Click();
      break;
    default:
      break;
  }
}

void TfrmMain::ShowPopupMenu(LPARAM position) {
  POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == -1) {
    // From the keyboard (Shift+F10 or the menu key): open at the selected row, or at the
    // list's top-left corner when none is selected.
    point = {4, 4};
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    RECT row;
    if (selected >= 0 && ListView_GetItemRect(list_, selected, &row, LVIR_LABEL)) {
      point = {row.left, row.bottom};
    }
    ::ClientToScreen(list_, &point);
  }
  ::TrackPopupMenu(popup_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y,
                   0, hwnd_, nullptr);
}

// --- MainView ---

// The bar keeps its whole text (the common controls of Windows XP kept 127 characters, those
// of Vista and later keep any length); a text it refused (no memory) is reported, not lost.
void TfrmMain::SetStatusText(const Text& text) {
  if (!::SendMessage(status_bar_, SB_SETTEXT, SB_SIMPLEID,
                     reinterpret_cast<LPARAM>(text.c_str()))) {
    throw Error(SB_T("The status bar could not show the text \"") + text + SB_T("\"."));
  }
}

void TfrmMain::EnableButtons() {
  for (HWND button : buttons_) ::EnableWindow(button, TRUE);
}

void TfrmMain::ProcessMessages() {
  MSG message;
  while (::PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request to the main loop.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchProgramMessage(message);
  }
}

Lines& TfrmMain::OpenProperties(const Text& caption) {
  Tfrmproperties* window = Tfrmproperties::Create(instance_, hwnd_, font_.get());
  // The window's exception barrier shows this text in the application's message dialog.
  if (window == nullptr) throw Error(SB_T("Error creating window handle."));
  window->SetCaption(caption);
  window->Show();
  return *window;
}

void TfrmMain::ShowMessage(const Text& text) {
  dialogs_.ShowMessage(text);
}

int TfrmMain::MessageBox(Dialogs::Owner owner, const Text& text, const Text& caption,
                         std::uint32_t type) {
  return dialogs_.MessageBox(owner, text, caption, type);
}

int TfrmMain::MessageBoxA(Dialogs::Owner owner, const std::string& text, const std::string& caption,
                          std::uint32_t type) {
  return dialogs_.MessageBoxA(owner, text, caption, type);
}

// --- DiskListView ---

void TfrmMain::Clear() {
  ListView_DeleteAllItems(list_);
  next_sub_item_.clear();
}

void TfrmMain::BeginUpdate() {
  ::SendMessage(list_, WM_SETREDRAW, FALSE, 0);
}

void TfrmMain::EndUpdate() {
  ::SendMessage(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
}

std::size_t TfrmMain::AppendRow() {
  LVITEM item = {};
  item.mask = LVIF_TEXT;
  item.iItem = ListView_GetItemCount(list_);
  item.pszText = ReadOnlyInput(TEXT(""));
  const int row = ListView_InsertItem(list_, &item);
  if (row < 0) throw std::runtime_error("the list refused a new row");
  next_sub_item_.resize(static_cast<std::size_t>(row) + 1, 1);
  return static_cast<std::size_t>(row);
}

// A cell keeps its whole text, however narrow its column; a cell the list refused is an
// error of the refill, which RefreshDiskList reports.
void TfrmMain::SetCaption(std::size_t row, const Text& caption) {
  SetCellText(row, 0, caption);
}

void TfrmMain::AddSubItem(std::size_t row, const Text& text) {
  if (row >= next_sub_item_.size()) return;
  SetCellText(row, next_sub_item_[row]++, text);
}

void TfrmMain::SetCellText(std::size_t row, int column, const Text& text) {
  LVITEM item = {};
  item.iSubItem = column;
  item.pszText = ReadOnlyInput(text.c_str());
  if (!::SendMessage(list_, LVM_SETITEMTEXT, row, reinterpret_cast<LPARAM>(&item))) {
    throw std::runtime_error("the list refused the text of a cell");
  }
}

std::size_t TfrmMain::RowCount() const {
  return static_cast<std::size_t>(std::max(0, ListView_GetItemCount(list_)));
}

std::optional<std::size_t> TfrmMain::Selected() const {
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

Text TfrmMain::Caption(std::size_t row) const {
  return CellText(list_, static_cast<int>(row), 0);
}

void TfrmMain::Select(std::size_t row) {
  const int index = static_cast<int>(row);
  ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, index, FALSE);
}

void TfrmMain::Focus() {
  ::SetFocus(list_);
}

}  // namespace sb
