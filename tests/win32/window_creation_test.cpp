// Each window makes its controls in its own WM_CREATE: a control that cannot be made fails the
// window's creation, and nothing of the window is left.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "win32/main_window_fixture.h"
#include "win32/recorded_boxes.h"

namespace sb {
namespace {

struct Search {
  Text class_name;
  int count = 0;
};

// An enumeration's callback (stdcall, which a lambda is not in a 32-bit program).
BOOL CALLBACK CountIfOfClass(HWND window, LPARAM found) {
  auto& search = *reinterpret_cast<Search*>(found);
  TCHAR name[64] = {};
  ::GetClassName(window, name, static_cast<int>(std::size(name)));
  if (search.class_name == name) ++search.count;
  return TRUE;
}

int ThreadWindowsOfClass(const TCHAR* class_name) {
  Search search{class_name};
  ::EnumThreadWindows(::GetCurrentThreadId(), CountIfOfClass, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

// The fixture's classes and machine, without its main window.
class WindowCreationTest : public test::MainWindowTest {
 protected:
  void SetUp() override {}
  void TearDown() override { EXPECT_TRUE(machine.OpenHandles().empty()); }
};

TEST_F(WindowCreationTest, AMainWindowWithoutOneOfItsControlsIsNotMade) {
  for (const std::string control :
       {"SysListView32", "msctls_statusbar32", "SpindlebayPanel", "Button"}) {
    SCOPED_TRACE(control);
    test::RecordedBoxes boxes(
        IDOK, {}, [&](HWND, const std::string& class_name) { return class_name != control; });
    TfrmMain main_window(::GetModuleHandle(nullptr), machine, table);
    EXPECT_FALSE(main_window.Create());
    EXPECT_EQ(main_window.hwnd(), nullptr);
    EXPECT_EQ(ThreadWindowsOfClass(TfrmMain::kClassName), 0);
    EXPECT_TRUE(boxes.boxes.empty());
    // Whatever its end asked of the message loop is not left to the next case.
    MSG quit = {};
    ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
}

TEST_F(WindowCreationTest, APropertiesWindowWithoutOneOfItsControlsIsNotMade) {
  machine.AddDisk(0, test::ListDisk("Alpha", 100 * test::kMiB));
  TfrmMain main_window(::GetModuleHandle(nullptr), machine, table);
  ASSERT_TRUE(main_window.Create());
  ::ShowWindow(main_window.hwnd(), SW_SHOW);  // lists the disk and selects it
  test::Pump();
  for (const std::string control : {"Button", "Edit"}) {
    SCOPED_TRACE(control);
    // Only the control of the Properties window is refused, not the button of the box that
    // reports it.
    bool in_properties = false;
    test::RecordedBoxes boxes(IDOK, {}, [&](HWND, const std::string& class_name) {
      if (class_name == TextToAscii(Tfrmproperties::kClassName)) in_properties = true;
      if (!in_properties || class_name != control) return true;
      in_properties = false;
      return false;
    });
    frmproperties = nullptr;
    ::SendMessage(main_window.hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
    EXPECT_THAT(boxes.boxes, ::testing::ElementsAre("Spindlebay|Error creating window handle."));
    EXPECT_EQ(frmproperties, nullptr);
    EXPECT_EQ(ThreadWindowsOfClass(Tfrmproperties::kClassName), 0);
  }
  // With every control, the next request opens its window.
  const test::RecordedBoxes boxes(IDOK);
  ::SendMessage(main_window.hwnd(), WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  EXPECT_NE(frmproperties, nullptr);
  EXPECT_EQ(ThreadWindowsOfClass(Tfrmproperties::kClassName), 1);
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace sb
