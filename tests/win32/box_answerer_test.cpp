// The helper that answers message boxes for the programs that drive the windows unattended.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/boxes/box_answerer.h"

namespace sb {
namespace {

using ::testing::ElementsAre;

TEST(BoxAnswerer, EachBoxGetsThePolicysAnswerAndIsRecordedOnce) {
  struct Case {
    UINT type;
    int answer;
    std::vector<int> buttons;
  };
  for (const Case& item : {Case{MB_YESNO, IDNO, {IDYES, IDNO}},
                           Case{MB_YESNO, IDYES, {IDYES, IDNO}}, Case{MB_OK, IDOK, {IDOK}}}) {
    std::vector<std::vector<int>> seen;
    std::vector<int> recorded;
    BoxAnswerer answerer(
        BoxPolicy{.answer =
                      [&](const ShownBox& box) {
                        seen.push_back(box.buttons);
                        return item.answer;
                      },
                  .record = [&](const ShownBox&, int answer) { recorded.push_back(answer); }});
    ASSERT_TRUE(answerer.installed());
    EXPECT_EQ(::MessageBoxA(nullptr, "text", "caption", item.type), item.answer);
    EXPECT_THAT(seen, ElementsAre(item.buttons));
    EXPECT_THAT(recorded, ElementsAre(item.answer));
    EXPECT_EQ(answerer.answered(), 1);
  }
}

// A policy that fails cannot hang the run or let an exception into the window's thread:
// the box gets the answer of a user who goes on, and the failure is counted.
TEST(BoxAnswerer, APolicyThatThrowsIsCountedAndTheBoxStillAnswered) {
  {
    const BoxAnswerer answerer(
        BoxPolicy{.answer = [](const ShownBox&) -> int { throw std::runtime_error("policy"); }});
    EXPECT_EQ(::MessageBoxA(nullptr, "text", "caption", MB_YESNO), IDYES);
    EXPECT_EQ(answerer.failures(), 1);
  }
  int asked = 0;
  const BoxAnswerer answerer(BoxPolicy{.creating = [&](HWND, const std::string&) -> bool {
    ++asked;
    throw std::runtime_error("policy");
  }});
  const HWND window =
      ::CreateWindowExA(0, "Static", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(window, nullptr);
  EXPECT_GT(asked, 0);
  EXPECT_EQ(answerer.failures(), asked);  // Windows may create a window of its own with it
  ::DestroyWindow(window);
}

TEST(BoxAnswerer, ARefusedCreationFailsAndASecondAnswererStaysOut) {
  const BoxAnswerer answerer(BoxPolicy{
      .creating = [](HWND, const std::string& class_name) { return class_name != "Static"; }});
  const BoxAnswerer second;
  EXPECT_TRUE(answerer.installed());
  EXPECT_FALSE(second.installed());
  EXPECT_EQ(::CreateWindowExA(0, "Static", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
}

}  // namespace
}  // namespace sb
