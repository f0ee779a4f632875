// Panel1's buttons on the real main window: each click asks its own command's question,
// about the disk of the selected row, whatever its number of digits.
#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/boxes/box_answerer.h"
#include "win32/recorded_boxes.h"
#include "win32/main_window_fixture.h"

namespace sb {
namespace {

using CommandButtonsTest = test::MainWindowTest;

TEST_F(CommandButtonsTest, EachButtonAsksItsOwnQuestionAboutTheSelectedDisk) {
  const struct {
    int id;
    const char* question;  // caption|text
  } cases[] = {
      {TfrmMain::kIdButton2, "Quarrow|Set \\\\.\\PhysicalDrive12 offline ?"},
      {TfrmMain::kIdButton3,
       "Spindlebay|WARNING - You are about to mount every volume on disk 12.\r\n"
       "If the disk is NOT Read-Only, it will NOT be write protected.\r\nContinue?"},
      {TfrmMain::kIdButton4, "Quarrow|Set \\\\.\\PhysicalDrive12 read-only ?"},
      {TfrmMain::kIdButton5, "Quarrow|Set \\\\.\\PhysicalDrive12 read-write ?"},
  };
  ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  machine.ClearCalls();
  for (const auto& c : cases) {
    test::RecordedBoxes answerer(IDNO);
    ::SendMessage(::GetDlgItem(panel, c.id), BM_CLICK, 0, 0);
    EXPECT_THAT(answerer.boxes, ::testing::ElementsAre(c.question)) << c.id;
  }
  // Answered No: the machine was not asked anything.
  EXPECT_THAT(machine.calls(), ::testing::IsEmpty());
}

// Only Yes changes a disk. Wine ends a Yes/No box with IDCANCEL on Esc or its Close command
// (Windows ignores both there), and a box that cannot be created returns 0: each of these
// leaves the disk as it was. The box is then also given No, which ends it where the
// gesture did not.
TEST_F(CommandButtonsTest, EscCloseOrABoxThatCannotBeShownChangesNothing) {
  enum class Gesture { kEscape, kClose, kNoBox };
  ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  for (const Gesture gesture : {Gesture::kEscape, Gesture::kClose, Gesture::kNoBox}) {
    for (const int id :
         {TfrmMain::kIdButton2, TfrmMain::kIdButton3, TfrmMain::kIdButton4, TfrmMain::kIdButton5}) {
      machine.ClearCalls();
      int boxes = 0;
      int refused = 0;
      BoxAnswerer answerer(BoxPolicy{
          .answer = [](const ShownBox&) { return IDNO; },
          .record =
              [&](const ShownBox& box, int) {
                ++boxes;
                if (gesture == Gesture::kEscape) {
                  ::PostMessage(::GetDlgItem(box.window, IDYES), WM_KEYDOWN, VK_ESCAPE, 0);
                } else {
                  ::PostMessage(box.window, WM_SYSCOMMAND, SC_CLOSE, 0);
                }
              },
          .creating =
              [&](HWND, const std::string& class_name) {
                if (gesture != Gesture::kNoBox || class_name != "#32770") return true;
                ++refused;
                return false;
              },
      });
      ASSERT_TRUE(answerer.installed());
      ::SendMessage(::GetDlgItem(panel, id), BM_CLICK, 0, 0);
      const auto what = ::testing::Message()
                        << "button " << id << ", gesture " << static_cast<int>(gesture);
      EXPECT_EQ(boxes + refused, 1) << what;
      EXPECT_EQ(answerer.failures(), 0) << what;
      EXPECT_THAT(machine.calls(), ::testing::IsEmpty()) << what;
      EXPECT_EQ(StatusText(), "") << what;
    }
  }
  EXPECT_EQ(machine.disk(12)->attributes, 2u);
}

}  // namespace
}  // namespace sb
