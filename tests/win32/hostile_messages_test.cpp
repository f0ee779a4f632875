// The main window against messages that other processes send and post, and a Properties
// window that cannot be created.
#include "platform/win32/win32_api.h"
#include <commctrl.h>
#include <dbt.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/boxes/box_answerer.h"
#include "win32/main_window_fixture.h"
#include "tools/message_poster/message_poster_process.h"

namespace sb {
namespace {

using test::MainWindowTest;
using ::testing::EndsWith;

std::string Hex(std::uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  ::EnumChildWindows(window, CountChild, counter);
  return TRUE;
}

int CountThreadWindows() {
  int count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindowAndChildren,
                      reinterpret_cast<LPARAM>(&count));
  return count;
}

using HostileMessagesTest = MainWindowTest;

// Device changes from another process whose lParam is not a record, records too short to
// hold a device type, records of other device types, and messages only this process may
// send: none of them may crash the program, write the status line or refill the list.
TEST_F(HostileMessagesTest, ForeignMessagesChangeNothing) {
  // wParam values whose low 16 bits are an arrival, and which are not one, as wide as the
  // program's WPARAM is.
  constexpr std::uint64_t kArrivalInTheLowHalf =
      sizeof(WPARAM) == 8 ? 0x100008000ull : 0x00018000ull;
  constexpr std::uint64_t kAllOnesAboveArrival =
      sizeof(WPARAM) == 8 ? 0xFFFFFFFFFFFF8000ull : 0xFFFF8000ull;
  const std::vector<std::string> rows = Rows();
  const int windows = CountThreadWindows();
  const std::string kDeviceChange = Hex(WM_DEVICECHANGE);
  std::string commands;
  for (const char* kind : {"post ", "send "}) {
    for (std::uint64_t event : {0x7ull, 0x18ull, 0x17ull, 0x8000ull, 0x8004ull, 0xFFFFull,
                                kArrivalInTheLowHalf, kAllOnesAboveArrival}) {
      for (const char* lparam : {"0", "0x10", "0xDEADBEEF", "0xFFFFFFFFFFFFFFFF"}) {
        // Events with bit 15 set are marshalled as records from the sender's memory: with
        // a bad pointer the sender would crash. They are sent as records below.
        if ((event & 0x8000) && std::string(kind) == "send ") continue;
        commands += kind + kDeviceChange + " " + Hex(event) + " " + lparam + " ";
      }
    }
  }
  for (std::uint32_t size : {0u, 4u, 8u, 11u}) {  // declared too short for a device type
    commands += "send-record 0x8000 " + std::to_string(size) + " 2 0x10 ";
  }
  commands += "send-record 0x8000 16 3 0x10 ";  // a port, not a volume
  // A volume record, but wParam is not an arrival: only its low half is.
  commands += "send-record " + Hex(kArrivalInTheLowHalf) + " 20 2 0x10 send-record " +
              Hex(kAllOnesAboveArrival | 4) + " 20 2 0x10 ";
  commands += "send-record 0x8004 20 5 0x10 ";  // a device interface
  for (const char* kind : {"post ", "send "}) {
    commands += kind + Hex(WM_NOTIFY) + " " + std::to_string(TfrmMain::kIdList) + " 0xDEADBEEF ";
    for (UINT lifetime : {WM_DESTROY, WM_NCDESTROY}) commands += kind + Hex(lifetime) + " 0 0 ";
  }
  commands +=
      "post " + Hex(WM_CREATE) + " 0 0xDEADBEEF post " + Hex(WM_NCCREATE) + " 0 0xDEADBEEF ";
  commands += "send-create " + Hex(WM_NCCREATE) + " 0xDEADBEEF send-create " + Hex(WM_CREATE) +
              " 0xDEADBEEF";

  EXPECT_EQ(RunMessagePoster(window->hwnd(), commands), 0);
  test::Pump();

  ASSERT_TRUE(::IsWindow(window->hwnd()));
  EXPECT_EQ(StatusText(), "");
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(CountThreadWindows(), windows);
  // Still attached to its object, and still working.
  machine.disk(0)->attributes = 1;
  ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdRefresh1, 0);
  EXPECT_THAT(Rows()[0], EndsWith("|Offline Read-Write "));
}

// Without the filter, posted device changes reach the window procedure itself: it must not
// read a record for events that carry none, whatever lParam holds.
TEST_F(HostileMessagesTest, TheWindowOnItsOwnReadsNoRecordOfAnEventThatCarriesNone) {
  filter.reset();
  const std::vector<std::string> rows = Rows();
  EXPECT_EQ(RunMessagePoster(window->hwnd(),
                             "post 0x219 0x7 0xDEADBEEF post 0x219 0x18 0x10 post 0x219 0x17 "
                             "0xFFFFFFFFFFFFFFF0 post 0x219 0x100008000 0xDEADBEEF"),
            0);
  test::Pump();
  ASSERT_TRUE(::IsWindow(window->hwnd()));
  EXPECT_EQ(StatusText(), "");
  EXPECT_EQ(Rows(), rows);
}

// The same path carries the real broadcasts: a volume record from another process is read.
TEST_F(HostileMessagesTest, AVolumeRecordFromAnotherProcessIsANotice) {
  EXPECT_EQ(RunMessagePoster(window->hwnd(), "send-record 0x8000 20 2 0x30"), 0);
  EXPECT_THAT(StatusText(), EndsWith(" : device inserted E:"));
  // A record that declares exactly the header: the device type is read, the mask is not.
  EXPECT_EQ(RunMessagePoster(window->hwnd(), "send-record 0x8004 12 2 0x30"), 0);
  EXPECT_THAT(StatusText(), EndsWith(" : device removed "));
}

// Refuses the creation of the Properties window, and answers and records the boxes shown
// meanwhile.
struct RefusedPropertiesWindow {
  std::vector<std::string> boxes;
  BoxAnswerer answerer{BoxPolicy{
      .answer = [](const ShownBox&) { return IDOK; },
      .record =
          [this](const ShownBox& box, int) {
            const HWND item = ::GetDlgItem(box.window, 0xFFFF);
            std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
            text.resize(static_cast<std::size_t>(
                ::GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
            boxes.push_back(text);
          },
      .creating =
          [](HWND, const std::string& class_name) {
            return class_name != TextToAscii(Tfrmproperties::kClassName);
          }}};
};

TEST_F(HostileMessagesTest, APropertiesWindowThatCannotBeCreatedIsReported) {
  {
    RefusedPropertiesWindow refused;
    frmproperties = nullptr;
    ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
    EXPECT_THAT(refused.boxes, ::testing::ElementsAre("Error creating window handle."));
    EXPECT_EQ(frmproperties, nullptr);
  }
  // The program goes on: the next request opens its window.
  ::SendMessage(window->hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  ASSERT_NE(frmproperties, nullptr);
  EXPECT_EQ(test::WindowText(frmproperties->hwnd()), "Properties for \\\\.\\PhysicalDrive0");
}

}  // namespace
}  // namespace sb
