#include "tools/window_runner/screen_text.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/text.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/window_util.h"

namespace sb::window_runner {
namespace {

constexpr int kColumns = 5;

// Controls are read in the program's own character form, so that their texts come back as
// the program wrote them and compare with the scenario runner's of the same width.
std::string Ascii(TextView text) {
  return TextToAscii(text);
}

}  // namespace

std::string WindowText(HWND window) {
  Text text(static_cast<std::size_t>(::GetWindowTextLength(window)) + 1, Char{});
  text.resize(static_cast<std::size_t>(
      ::GetWindowText(window, text.data(), static_cast<int>(text.size()))));
  return Ascii(text);
}

std::string DialogItemText(HWND dialog, int id) {
  const HWND item = ::GetDlgItem(dialog, id);
  return item == nullptr ? std::string() : WindowText(item);
}

std::vector<std::string> ListRows(HWND main) {
  const HWND list = ::GetDlgItem(main, TfrmMain::kIdList);
  std::vector<std::string> rows;
  const int count = ListView_GetItemCount(list);
  for (int row = 0; row < count; ++row) {
    std::string text;
    for (int column = 0; column < kColumns; ++column) {
      text += (column ? "|" : "") + Ascii(CellText(list, row, column));
    }
    rows.push_back(text);
  }
  return rows;
}

std::optional<std::size_t> SelectedRow(HWND main) {
  const int row = ListView_GetNextItem(::GetDlgItem(main, TfrmMain::kIdList), -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

// The bar answers its text's length in 16 bits and copies the whole text whatever buffer it
// is given, so only a text shorter than 65536 characters can be read safely. The observer
// sees every text set (kLongestStatusText) and fails on a longer one before it is read.
std::string StatusBarText(HWND main) {
  const HWND bar = ::GetDlgItem(main, TfrmMain::kIdStatusBar);
  // In simple mode the bar answers for part 0 with its one text.
  const std::size_t length = LOWORD(::SendMessage(bar, SB_GETTEXTLENGTH, 0, 0));
  Text text(kLongestStatusText + 1, Char{});
  ::SendMessage(bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(Text::traits_type::length(text.c_str()));
  if (text.size() != length) {
    throw std::runtime_error("the status bar's text is not as long as the bar says");
  }
  return Ascii(text);
}

std::vector<std::string> PropertiesLines(HWND properties) {
  const HWND memo = ::FindWindowEx(properties, nullptr, TEXT("Edit"), nullptr);
  const std::string text = memo == nullptr ? std::string() : WindowText(memo);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  if (start < text.size() || !lines.empty()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace sb::window_runner
