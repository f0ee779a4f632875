// The main window at the edges of its message handling: a notification sent from another
// thread, a quit request met while a command lets messages run, and a handler that fails
// again while the exception barrier's box is up.
#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "win32/recorded_boxes.h"
#include "win32/main_window_fixture.h"

namespace sb {
namespace {

using MessageBoundaryTest = test::MainWindowTest;

struct Job {
  void (*work)(void*);
  void* argument;
};

DWORD WINAPI RunJob(void* parameter) {
  const auto* job = static_cast<const Job*>(parameter);
  job->work(job->argument);
  return 0;
}

// Runs work on a second thread of this process and lets this thread's messages run until
// it ends, so that what it sends to this thread's windows is handled.
void OnSecondThread(void (*work)(void*), void* argument) {
  Job job = {work, argument};
  const HANDLE thread = ::CreateThread(nullptr, 0, RunJob, &job, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    test::Pump();
  }
  ::CloseHandle(thread);
}

// From another process on Windows, the notice's lParam would be a foreign pointer: a
// notification from any other thread is not acted on, however well formed.
TEST_F(MessageBoundaryTest, ADoubleClickNoticeFromAnotherThreadOpensNoPropertiesWindow) {
  frmproperties = nullptr;
  struct Notice {
    HWND main_window;
    NMHDR header;
  } notice = {window->hwnd(),
              {list, static_cast<UINT_PTR>(TfrmMain::kIdList), static_cast<UINT>(NM_DBLCLK)}};
  OnSecondThread(
      [](void* argument) {
        auto* notice = static_cast<Notice*>(argument);
        ::SendMessage(notice->main_window, WM_NOTIFY, TfrmMain::kIdList,
                      reinterpret_cast<LPARAM>(&notice->header));
      },
      &notice);
  EXPECT_EQ(frmproperties, nullptr);

  // The same notice from the window's own thread is the double click.
  ::SendMessage(window->hwnd(), WM_NOTIFY, TfrmMain::kIdList,
                reinterpret_cast<LPARAM>(&notice.header));
  EXPECT_NE(frmproperties, nullptr);
}

// Closing the main window during a command's pause: the quit request that its destruction
// posts is met by the command's own message step, and must still reach the main loop.
TEST_F(MessageBoundaryTest, AQuitMetWhileACommandLetsMessagesRunStaysForTheMainLoop) {
  const HWND main_window = window->hwnd();
  ::PostMessage(main_window, WM_CLOSE, 0, 0);
  window->ProcessMessages();
  EXPECT_FALSE(::IsWindow(main_window));
  MSG quit = {};
  ASSERT_TRUE(::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);

  ::PostQuitMessage(3);  // the exit code goes with it
  window->ProcessMessages();
  ASSERT_TRUE(::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
}

// Failures of the handler while the box is up (its modal loop dispatches them) open no
// second box; once it is closed, the next failure is shown again.
TEST_F(MessageBoundaryTest, TheBarrierShowsOneBoxWhileItsBoxIsUp) {
  const HWND main_window = window->hwnd();
  bool failed_again = false;
  // Every Properties window is refused: each request fails inside its handler, and the
  // exception barrier shows the error.
  test::RecordedBoxes answerer(
      IDOK,
      [&] {
        if (failed_again) return;
        failed_again = true;
        for (int i = 0; i < 2; ++i) {
          ::PostMessage(main_window, WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
        }
      },
      [](HWND, const std::string& class_name) {
        return class_name != TextToAscii(Tfrmproperties::kClassName);
      });
  ::SendMessage(main_window, WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  EXPECT_TRUE(failed_again);
  EXPECT_THAT(answerer.boxes, ::testing::ElementsAre("Spindlebay|Error creating window handle."));
  test::Pump();

  ::SendMessage(main_window, WM_COMMAND, TfrmMain::kIdShowDiskPartInformations1, 0);
  EXPECT_EQ(answerer.boxes.size(), 2u);
}

}  // namespace
}  // namespace sb
