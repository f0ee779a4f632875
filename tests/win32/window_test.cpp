// The real main window over a simulated machine, read back through window messages.
#include "platform/win32/win32_api.h"
#include <commctrl.h>
#include <dbt.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/machines.h"
#include "win32/main_window_fixture.h"

namespace sb {
namespace {

using test::MainWindowTest;
using test::WindowText;

using ::testing::ElementsAre;

TEST_F(MainWindowTest, LayoutAsDesigned) {
  EXPECT_EQ(WindowText(window->hwnd()), "Spindlebay 0.9 - support@spindlebay.example");
  RECT client;
  ::GetClientRect(window->hwnd(), &client);
#ifdef SPINDLEBAY_NARROW
  // The 32-bit program opens at 283,237 with an outer size of 415 by 303; its client area is
  // what the frame of its style leaves of that.
  RECT outer;
  ::GetWindowRect(window->hwnd(), &outer);
  EXPECT_EQ(outer.left, 283);
  EXPECT_EQ(outer.top, 237);
  EXPECT_EQ(outer.right - outer.left, 415);
  EXPECT_EQ(outer.bottom - outer.top, 303);
  RECT frame = {};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLong(window->hwnd(), GWL_STYLE)),
                       FALSE, static_cast<DWORD>(::GetWindowLong(window->hwnd(), GWL_EXSTYLE)));
  const int client_height = 303 - (frame.bottom - frame.top);
  EXPECT_EQ(client.right, 415 - (frame.right - frame.left));
#else
  const int client_height = 276;
  EXPECT_EQ(client.right, 407);
#endif
  EXPECT_EQ(client.bottom, client_height);

  const HWND header = ListView_GetHeader(list);
  ASSERT_EQ(::SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 5);
  std::vector<std::string> columns;
  for (int i = 0; i < 5; ++i) {
    TCHAR caption[64] = {};
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = caption;
    column.cchTextMax = 64;
    ListView_GetColumn(list, i, &column);
    columns.push_back(test::A(caption) + ":" + std::to_string(column.cx));
  }
  EXPECT_THAT(columns,
              ElementsAre("#:25", "Type:50", "Name:100", "Size (MB):75", "Attributes:125"));
  const DWORD extended = ListView_GetExtendedListViewStyle(list);
  EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
  EXPECT_TRUE(::GetWindowLong(list, GWL_STYLE) & LVS_SINGLESEL);

  RECT panel_rect;
  ::GetWindowRect(panel, &panel_rect);
  EXPECT_EQ(panel_rect.bottom - panel_rect.top, 61);
  std::vector<std::string> buttons;
  for (int id = TfrmMain::kIdButton2; id <= TfrmMain::kIdButton5; ++id) {
    const HWND button = ::GetDlgItem(panel, id);
    RECT rect;
    ::GetWindowRect(button, &rect);
    ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rect), 2);
    buttons.push_back(WindowText(button) + "@" + std::to_string(rect.left) + "," +
                      std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
                      "x" + std::to_string(rect.bottom - rect.top) +
                      (::IsWindowEnabled(button) ? "" : " disabled"));
  }
  EXPECT_THAT(buttons, ElementsAre("Offline@16,16 75x25", "Online@104,16 75x25",
                                   "Read-Only@192,16 75x25", "Read-Write@280,16 75x25"));
  RECT bar_rect;
  ::GetWindowRect(status_bar, &bar_rect);
  EXPECT_EQ(bar_rect.bottom - bar_rect.top, 19);
  RECT list_rect;
  ::GetWindowRect(list, &list_rect);
  EXPECT_EQ(list_rect.right - list_rect.left, 407);
  // The list fills what the panel (61) and the status bar (19) leave.
  EXPECT_EQ(list_rect.bottom - list_rect.top, client_height - 61 - 19);
  EXPECT_TRUE(::SendMessage(status_bar, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(), "");
}

TEST_F(MainWindowTest, ShowingFillsTheListAndRefreshKeepsThePosition) {
  EXPECT_THAT(Rows(), ElementsAre("0|DISK|Alpha|100|Online Read-Write ",
                                  "2|DISK|Beta|2048|Offline Read-Only ",
                                  "12|DISK|Gamma|512|Online Read-Only "));
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
  EXPECT_EQ(::GetFocus(), list);

  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  machine.disk(0)->attributes = 1;
  ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdRefresh1, 0);
  EXPECT_THAT(Rows(), ElementsAre("0|DISK|Alpha|100|Offline Read-Write ",
                                  "2|DISK|Beta|2048|Offline Read-Only ",
                                  "12|DISK|Gamma|512|Online Read-Only "));
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);
}

TEST_F(MainWindowTest, VolumeBroadcastsWriteTheStatusLineAndRefresh) {
  DEV_BROADCAST_VOLUME volume = {};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = (1u << 4) | (1u << 5);  // E: and F:
  machine.AddDisk(5, test::ListDisk("Stick", 16 * test::kMiB, 0, 7));
  ::SendMessage(window->hwnd(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                reinterpret_cast<LPARAM>(&volume));
  EXPECT_THAT(StatusText(), ::testing::EndsWith(" : device inserted E:"));
  EXPECT_EQ(Rows().size(), 4u);

  DEV_BROADCAST_HDR port = {};
  port.dbch_size = sizeof port;
  port.dbch_devicetype = 3;  // DBT_DEVTYP_PORT
  ::SendMessage(window->hwnd(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                reinterpret_cast<LPARAM>(&port));
  EXPECT_THAT(StatusText(), ::testing::EndsWith(" : device inserted E:"));
  ::SendMessage(window->hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  EXPECT_THAT(StatusText(), ::testing::EndsWith(" : device inserted E:"));

  ::SendMessage(window->hwnd(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                reinterpret_cast<LPARAM>(&volume));
  EXPECT_THAT(StatusText(), ::testing::EndsWith(" : device removed E:"));
}

TEST_F(MainWindowTest, PropertiesWindowsOpenOnDoubleClickAndCloseOnTheirOwn) {
  NMHDR double_click = {list, static_cast<UINT_PTR>(TfrmMain::kIdList),
                        static_cast<UINT>(NM_DBLCLK)};
  ::SendMessage(window->hwnd(), WM_NOTIFY, TfrmMain::kIdList,
                reinterpret_cast<LPARAM>(&double_click));
  ASSERT_NE(frmproperties, nullptr);
  const HWND first = frmproperties->hwnd();
  ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  const HWND second = frmproperties->hwnd();
  ASSERT_NE(first, second);

  EXPECT_EQ(WindowText(first), "Properties for \\\\.\\PhysicalDrive0");
  EXPECT_EQ(WindowText(second), WindowText(first));
  EXPECT_EQ(::GetWindow(first, GW_OWNER), window->hwnd());
  EXPECT_TRUE(::IsWindowVisible(first));
  EXPECT_TRUE(::GetWindowLong(first, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  RECT client;
  ::GetClientRect(first, &client);
  EXPECT_EQ(client.right, 490);
  EXPECT_EQ(client.bottom, 329);
  const HWND memo = frmproperties->memo();
  const LONG memo_style = ::GetWindowLong(memo, GWL_STYLE);
  EXPECT_TRUE(memo_style & ES_READONLY);
  EXPECT_FALSE(memo_style & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL));
  EXPECT_THAT(
      WindowText(memo),
      ::testing::StartsWith("->Drive Geometry\r\nCylinders / Heads / Sectors:13 / 255 / 63\r\n"
                            "BytesPerSector: 512\r\n->Disk Length\r\n"
                            "Size: 104857600 bytes, 100 Mbytes"));

  ::SendMessage(first, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_TRUE(::IsWindow(second));
  const HWND main_window = window->hwnd();
  window.reset();  // windows still open go with their owner
  EXPECT_FALSE(::IsWindow(main_window));
  EXPECT_FALSE(::IsWindow(second));
}

// A minimized main window takes its Properties windows with it; restored, it brings them
// back, as the minimize box and the taskbar do it.
TEST_F(MainWindowTest, PropertiesWindowsHideAndComeBackWithTheMainWindow) {
  ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  ASSERT_NE(frmproperties, nullptr);
  const HWND properties = frmproperties->hwnd();
  ASSERT_TRUE(::IsWindowVisible(properties));
  ::SetActiveWindow(window->hwnd());

  ::SendMessage(window->hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  test::Pump();
  EXPECT_TRUE(::IsIconic(window->hwnd()));
  EXPECT_FALSE(::IsWindowVisible(properties));

  ::SendMessage(window->hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  test::Pump();
  EXPECT_FALSE(::IsIconic(window->hwnd()));
  EXPECT_TRUE(::IsWindowVisible(properties));
}

}  // namespace
}  // namespace sb
