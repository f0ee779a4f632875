#include "tools/window_runner/window_actions.h"

#include <commctrl.h>
#include <dbt.h>

#include "ui/win32/tfrm_main.h"

namespace sb::window_runner {
namespace {

HWND List(HWND main) {
  return ::GetDlgItem(main, TfrmMain::kIdList);
}

}  // namespace

bool SelectRow(HWND main, std::size_t row) {
  const HWND list = List(main);
  if (row >= static_cast<std::size_t>(ListView_GetItemCount(list))) return false;
  const int index = static_cast<int>(row);
  ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  return true;
}

void Deselect(HWND main) {
  ListView_SetItemState(List(main), -1, 0, LVIS_SELECTED);
}

void Press(HWND main, int button_id) {
  const HWND panel = ::GetDlgItem(main, TfrmMain::kIdPanel);
  ::SendMessage(::GetDlgItem(panel, button_id), BM_CLICK, 0, 0);
}

void DoubleClick(HWND main) {
  const HWND list = List(main);
  RECT client;
  ::GetClientRect(list, &client);
  POINT point = {client.right / 2, client.bottom - 2};
  const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  RECT row;
  if (selected >= 0 && ListView_GetItemRect(list, selected, &row, LVIR_BOUNDS)) {
    point = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  }
  ::SendMessage(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

void ChooseMenuItem(HWND main, int item_id) {
  ::SendMessage(main, WM_COMMAND, MAKEWPARAM(item_id, 0), 0);
}

void BroadcastVolume(HWND main, std::uint32_t event, std::uint32_t unit_mask) {
  DEV_BROADCAST_VOLUME record = {};
  record.dbcv_size = sizeof record;
  record.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  record.dbcv_unitmask = unit_mask;
  ::SendMessage(main, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
}

}  // namespace sb::window_runner
