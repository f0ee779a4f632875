// A user's actions on the real main window, each through the control it belongs to: rows
// are selected in the list view, buttons clicked, the list double-clicked, menu items
// chosen, and volume broadcasts delivered as Windows sends them.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstddef>
#include <cstdint>

namespace sb::window_runner {

// Selects row of the list as a click would (the selection handler runs); false when the
// list has no such row.
bool SelectRow(HWND main, std::size_t row);
void Deselect(HWND main);
// Clicks a button of Panel1 (TfrmMain::kIdButton2 to kIdButton5).
void Press(HWND main, int button_id);
// A double click on the list: on the selected row, or on the empty part of the list.
void DoubleClick(HWND main);
// The command a context-menu item sends (TfrmMain::kIdShowDiskPartInformations1, kIdRefresh1).
void ChooseMenuItem(HWND main, int item_id);
// WM_DEVICECHANGE with a volume record for the drives of unit_mask.
void BroadcastVolume(HWND main, std::uint32_t event, std::uint32_t unit_mask);

}  // namespace sb::window_runner
