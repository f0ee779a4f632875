// Every control the program writes text into, filled with the longest text the logic can
// give it and read back whole: the Properties box, the list's cells, the status bar and the
// window captions.
#include "platform/win32/win32_api.h"
#include <commctrl.h>
#include <dbt.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disk/report.h"
#include "platform/bytes.h"
#include "platform/error.h"
#include "platform/records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/window_util.h"
#include "win32/main_window_fixture.h"
#include "tools/message_poster/message_poster_process.h"

namespace sb {
namespace {

using test::A;
using test::MainWindowTest;
using test::Pump;
using test::WindowText;

// An identifier as long as a 4096-byte descriptor can carry: it starts right after the
// bus type's low byte (the other three bytes of the field are part of it) and runs to the
// buffer's end without a terminating zero. Words with blanks, so the box wraps between
// them, and one long run without a blank, which it must break inside.
std::string LongestIdentifier() {
  const std::size_t length = rec::kDescriptorBufferSize - (rec::kDescriptorBusType + 1);
  std::string text(600, 'W');
  for (int word = 0; text.size() < length; ++word) text += " word" + std::to_string(word);
  text.resize(length);
  if (text.back() == ' ') text.back() = 'X';
  return text;
}

// A descriptor whose four identifiers are all that identifier.
Bytes LongestDescriptor() {
  Bytes bytes(rec::kDescriptorBufferSize, 0);
  ByteWriter writer(bytes);
  const auto start = static_cast<std::uint32_t>(rec::kDescriptorBusType + 1);
  writer.U32(rec::kDescriptorVersion, rec::kDescriptorHeaderSize);
  writer.U32(rec::kDescriptorSize, rec::kDescriptorBufferSize);
  writer.U32(rec::kDescriptorVendorIdOffset, start);
  writer.U32(rec::kDescriptorProductIdOffset, start);
  writer.U32(rec::kDescriptorProductRevisionOffset, start);
  writer.U32(rec::kDescriptorSerialNumberOffset, start);
  const std::string text = LongestIdentifier();
  std::copy(text.begin(), text.end(), bytes.begin() + start);
  bytes[rec::kDescriptorBusType] = 11;  // the low byte names the bus: Sata
  return bytes;
}

// A disk whose report has every line the report can write, each as long as it can be.
sim::Disk FullestDisk() {
  sim::Disk disk;
  disk.length = 0x7FFFFFFFFFFFFE00;
  disk.attributes = 3;
  disk.descriptor = LongestDescriptor();
  disk.geometry = sim::GeometryBytes(0xFFFFFFFF, 12, 0xFFFFFFFF, 0xFFFFFFFF, 512, disk.length);
  disk.layout = sim::MbrLayoutBytes(4, 0xFFFFFFFF);
  disk.cache = sim::CacheBytes(true, true);
  disk.predict_failure = sim::PredictFailureBytes(1);
  return disk;
}

class ControlCapacityTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    machine.AddDisk(15, FullestDisk());
    ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdRefresh1, 0);
  }

  // The report of disk 15 as the logic writes it, one entry per line.
  std::vector<std::string> ReportLines() {
    test::FakeView::PropertiesWindow lines;
    DiskInfoReport(machine, SB_T("\\\\.\\PhysicalDrive15"), lines);
    return lines.lines;
  }

  static std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
  }

  // Opens the Properties window of the last row (disk 15) and returns it.
  Tfrmproperties* OpenLastDisk() {
    ListView_SetItemState(list, ListView_GetItemCount(list) - 1, LVIS_SELECTED, LVIS_SELECTED);
    ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
    Pump();
    return frmproperties;
  }

  // A key as the user presses it, Ctrl held or not, through the program's message handling.
  static void PressKey(HWND target, UINT key, bool control) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(state);
    ::PostMessage(target, WM_KEYDOWN, key, 1);
    ::PostMessage(target, WM_KEYUP, key, 0xC0000001);
    MSG message;
    while (::PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchProgramMessage(message);
    state[VK_CONTROL] = 0;
    ::SetKeyboardState(state);
  }

  static std::pair<DWORD, DWORD> Selection(HWND memo) {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessage(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                  reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }

  static std::string ClipboardText(HWND owner) {
    std::string text;
    if (!::OpenClipboard(owner)) return "(clipboard not opened)";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
        std::wstring wide(chars);
        for (const wchar_t c : wide) text.push_back(c < 128 ? static_cast<char>(c) : '?');
        ::GlobalUnlock(data);
      }
    }
    ::CloseClipboard();
    return text;
  }
};

TEST_F(ControlCapacityTest, PropertiesBoxHoldsTheFullestReportWhole) {
  const std::vector<std::string> report = ReportLines();
  ASSERT_EQ(report.size(), 22u);  // every line the report can write
  const std::string identifier = LongestIdentifier();
  EXPECT_THAT(report, ::testing::Contains("ProductID: " + identifier));
  EXPECT_THAT(report, ::testing::Contains("S/N: " + identifier));

  Tfrmproperties* properties = OpenLastDisk();
  ASSERT_NE(properties, nullptr);
  const HWND memo = properties->memo();
  EXPECT_EQ(WindowText(properties->hwnd()), "Properties for \\\\.\\PhysicalDrive15");
  const std::string text = WindowText(memo);
  EXPECT_EQ(text.size(), Joined(report).size());
  EXPECT_EQ(text, Joined(report));
  // The box keeps its size and look, and shows the report from its first line.
  RECT box;
  ::GetClientRect(memo, &box);
  EXPECT_EQ(box.right, 486);
  EXPECT_EQ(box.bottom, 312);
  EXPECT_FALSE(::GetWindowLong(memo, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL));
  EXPECT_EQ(::SendMessage(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_GT(::SendMessage(memo, EM_GETLINECOUNT, 0, 0), 22) << "long lines are wrapped";
}

TEST_F(ControlCapacityTest, PropertiesBoxIsReachedWithTheKeyboard) {
  Tfrmproperties* properties = OpenLastDisk();
  ASSERT_NE(properties, nullptr);
  const HWND memo = properties->memo();
  const std::string text = WindowText(memo);
  const auto length = static_cast<DWORD>(text.size());
  // The window hands the focus it is given to its text box.
  EXPECT_EQ(::GetFocus(), memo);

  PressKey(memo, VK_END, true);
  EXPECT_EQ(Selection(memo), std::make_pair(length, length));
  EXPECT_GT(::SendMessage(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "scrolled to the end";
  PressKey(memo, VK_HOME, true);
  EXPECT_EQ(Selection(memo), std::make_pair(DWORD{0}, DWORD{0}));
  EXPECT_EQ(::SendMessage(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  for (int i = 0; i < 40; ++i) PressKey(memo, VK_DOWN, false);
  EXPECT_GT(Selection(memo).first, 0u);
  EXPECT_GT(::SendMessage(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the caret keys scroll";

  PressKey(memo, 'A', true);
  EXPECT_EQ(Selection(memo), std::make_pair(DWORD{0}, length));
  PressKey(memo, 'C', true);
  EXPECT_EQ(ClipboardText(properties->hwnd()), text);
  // Read-only: typing changes nothing.
  PressKey(memo, 'X', false);
  EXPECT_EQ(WindowText(memo), text);
  // Esc still closes the window, also from its text box.
  const HWND hwnd = properties->hwnd();
  PressKey(memo, VK_ESCAPE, false);
  EXPECT_FALSE(::IsWindow(hwnd));
}

// The box weighs the dialog manager's key message (WM_GETDLGCODE's lParam), which only this
// thread sends: posted by another process, with any lParam, the message is dropped.
TEST_F(ControlCapacityTest, PropertiesBoxReadsNoForeignKeyMessage) {
  Tfrmproperties* properties = OpenLastDisk();
  ASSERT_NE(properties, nullptr);
  const HWND memo = properties->memo();
  EXPECT_EQ(RunMessagePoster(memo, "post 0x87 0 0xDEADBEEF post 0x87 0 0x10"), 0);
  Pump();
  ASSERT_TRUE(::IsWindow(memo));
  EXPECT_EQ(WindowText(memo), Joined(ReportLines()));
}

// Beyond the edit control's default limit of 30000 characters, and a refusal the user is
// told of: a box that can take no more stops the report with a message.
TEST_F(ControlCapacityTest, PropertiesBoxTakesMoreThanTheDefaultLimitAndReportsARefusal) {
  Tfrmproperties* properties = OpenLastDisk();
  ASSERT_NE(properties, nullptr);
  Lines& lines = *properties;
  lines.Clear();
  std::vector<std::string> written;
  for (int i = 0; i < 40; ++i) {
    written.push_back(std::to_string(i) + ":" + std::string(1000, static_cast<char>('a' + i % 26)));
    lines.Add(AsciiToText(written.back()));
  }
  EXPECT_EQ(WindowText(properties->memo()), Joined(written));

  lines.Clear();
  lines.Add(SB_T(""));
  lines.Add(SB_T("second"));
  EXPECT_EQ(WindowText(properties->memo()), "\r\nsecond") << "an empty first line stays a line";

  ::SendMessage(properties->memo(), EM_SETLIMITTEXT, 20, 0);
  lines.Clear();
  lines.Add(SB_T("->Drive Geometry"));
  try {
    lines.Add(SB_T("Cylinders / Heads / Sectors:1 / 2 / 3"));
    ADD_FAILURE() << "a refused line went unnoticed";
  } catch (const Error& error) {
    EXPECT_EQ(A(error.message()),
              "The Properties window could not show line 2 of the report (37 characters); the "
              "lines from there on are missing.");
  }
  EXPECT_EQ(WindowText(properties->memo()), "->Drive Geometry") << "whole lines only";
}

TEST_F(ControlCapacityTest, ListCellsKeepTheLongestName) {
  const int last = ListView_GetItemCount(list) - 1;
  ASSERT_GE(last, 0);
  EXPECT_EQ(A(CellText(list, last, 0)), "15");
  EXPECT_EQ(A(CellText(list, last, 2)), LongestIdentifier());
  EXPECT_EQ(A(CellText(list, last, 3)), "8796093022207");
  EXPECT_EQ(A(CellText(list, last, 4)), "Offline Read-Only ");
}

TEST_F(ControlCapacityTest, StatusBarKeepsTheLongestTexts) {
  // A device line as the notice writes it, for the last drive letter.
  DEV_BROADCAST_VOLUME volume = {};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << 25;
  ::SendMessage(window->hwnd(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                reinterpret_cast<LPARAM>(&volume));
  EXPECT_THAT(StatusText(), ::testing::EndsWith(" : device removed Z:"));
  // Longer than any status line the logic writes (a command's longest is 47 characters,
  // a notice's the user's longest date and time formats and 20 more).
  const std::string longest =
      "IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY Ok " + std::string(4000, 'x');
  window->SetStatusText(AsciiToText(longest));
  EXPECT_EQ(StatusText(), longest);
}

}  // namespace
}  // namespace sb
