// The texts the real windows show, read back from their controls as ASCII (as the
// scenario runner's recording view keeps them).
#pragma once

#include "platform/win32/win32_api.h"

#include <optional>
#include <string>
#include <vector>

namespace sb::window_runner {

std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);

// The main window's list rows as "caption|Type|Name|Size|Attributes", the selected row and
// the status bar's text.
std::vector<std::string> ListRows(HWND main);
std::optional<std::size_t> SelectedRow(HWND main);
std::string StatusBarText(HWND main);

// A Properties window's text box, one entry per line of the box.
std::vector<std::string> PropertiesLines(HWND properties);

}  // namespace sb::window_runner
