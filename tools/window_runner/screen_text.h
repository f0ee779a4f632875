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

// The longest status text that can be read back from the bar (see StatusBarText).
inline constexpr std::size_t kLongestStatusText = 65535;

// The main window's list rows as "caption|Type|Name|Size|Attributes", the selected row and
// the status bar's text.
std::vector<std::string> ListRows(HWND main);
std::optional<std::size_t> SelectedRow(HWND main);
// Each cell and the status text are read whole; a text too long to read whole throws.
std::string StatusBarText(HWND main);

// A Properties window's text box, one entry per line of the box.
std::vector<std::string> PropertiesLines(HWND properties);

}  // namespace sb::window_runner
