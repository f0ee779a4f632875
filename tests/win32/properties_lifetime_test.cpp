// The Properties window's object lives exactly as long as its window, and frmproperties
// never outlives the window it names.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include "win32/main_window_fixture.h"

namespace sb {
namespace {

using PropertiesLifetimeTest = test::MainWindowTest;

Tfrmproperties* OpenProperties(HWND main_window) {
  ::SendMessage(main_window, WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  return frmproperties;
}

// Closed by the close box, by Esc through the program's own dispatch, or with its owner.
TEST_F(PropertiesLifetimeTest, ClosingDeletesTheObjectAndLeavesNoDanglingGlobal) {
  frmproperties = nullptr;
  Tfrmproperties* older = OpenProperties(window->hwnd());
  ASSERT_NE(older, nullptr);
  const HWND older_window = older->hwnd();
  Tfrmproperties* newer = OpenProperties(window->hwnd());
  ASSERT_NE(newer, older);
  const HWND newer_window = newer->hwnd();

  // An older window's close leaves the global on the newer one.
  ::SendMessage(older_window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(older_window));
  ASSERT_EQ(frmproperties, newer);
  EXPECT_EQ(frmproperties->hwnd(), newer_window);

  // The newest window's close: its object is gone, and so is the global's pointer to it
  // (only the object's destructor clears it).
  ::PostMessage(newer_window, WM_KEYDOWN, VK_ESCAPE, 0);
  window->ProcessMessages();
  EXPECT_FALSE(::IsWindow(newer_window));
  EXPECT_EQ(frmproperties, nullptr);

  OpenProperties(window->hwnd());
  ASSERT_NE(frmproperties, nullptr);
  const HWND last = frmproperties->hwnd();
  window.reset();
  EXPECT_FALSE(::IsWindow(last));
  EXPECT_EQ(frmproperties, nullptr);
}

}  // namespace
}  // namespace sb
