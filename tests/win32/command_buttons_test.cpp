// Panel1's buttons on the real main window: each click asks its own command's question,
// about the disk of the selected row, whatever its number of digits.
#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace sb
