// The real main window over a simulated machine, with the program's message filter, for
// the tests that drive it through window messages.
#pragma once

#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "ui/win32/message_filter.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"
#include "ui/win32/window_util.h"

namespace sb::test {

// The whole text of a window: the buffer is made for the length the window tells.
inline std::string WindowText(HWND window) {
  Text text(static_cast<std::size_t>(::GetWindowTextLength(window)) + 1, Char{});
  text.resize(static_cast<std::size_t>(
      ::GetWindowText(window, text.data(), static_cast<int>(text.size()))));
  return A(text);
}

inline void Pump() {
  MSG message;
  while (::PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessage(&message);
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    ASSERT_TRUE(TfrmMain::RegisterClasses(::GetModuleHandle(nullptr)));
    ASSERT_TRUE(Tfrmproperties::RegisterClass(::GetModuleHandle(nullptr)));
  }

  void SetUp() override {
    sim::Disk alpha = ListDisk("Alpha", 100 * kMiB);
    alpha.geometry = sim::GeometryBytes(13, 12, 255, 63, 512, 100 * kMiB);
    machine.AddDisk(0, alpha);
    machine.AddDisk(2, ListDisk("Beta", 2048 * kMiB, 3));
    // Two digits: a caption read as one character would name disk 1.
    machine.AddDisk(12, ListDisk("Gamma", 512 * kMiB, 2));
    window = std::make_unique<TfrmMain>(::GetModuleHandle(nullptr), machine, table);
    ASSERT_TRUE(window->Create());
    ::ShowWindow(window->hwnd(), SW_SHOW);
    Pump();
    list = ::GetDlgItem(window->hwnd(), TfrmMain::kIdList);
    panel = ::GetDlgItem(window->hwnd(), TfrmMain::kIdPanel);
    status_bar = ::GetDlgItem(window->hwnd(), TfrmMain::kIdStatusBar);
  }

  void TearDown() override {
    window.reset();
    EXPECT_TRUE(machine.OpenHandles().empty());
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
      std::string text;
      for (int column = 0; column < 5; ++column) {
        text += (column ? "|" : "") + A(CellText(list, row, column));
      }
      rows.push_back(text);
    }
    return rows;
  }

  // The bar copies its whole text: the buffer is made for the length it tells.
  std::string StatusText() const {
    const std::size_t length = LOWORD(::SendMessage(status_bar, SB_GETTEXTLENGTH, 0, 0));
    Text text(length + 1, Char{});
    ::SendMessage(status_bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return A(text);
  }

  sim::SimMachine machine;
  VolumeTable table;
  // As the program installs it; a test may take it away to try the window on its own.
  std::optional<PostedMessageFilter> filter{std::in_place};
  std::unique_ptr<TfrmMain> window;
  HWND list = nullptr;
  HWND panel = nullptr;
  HWND status_bar = nullptr;
};

}  // namespace sb::test
