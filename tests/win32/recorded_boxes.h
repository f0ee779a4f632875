// Answers the message boxes that the calling thread opens, and records what each one asked.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/boxes/box_answerer.h"

namespace sb::test {

// While it lives, every message box of this thread is read ("caption|text") as it is
// activated and then answered with the given button. on_box runs at that moment too, with
// the box still up, so a test can make things happen while a modal loop runs. creating, when
// given, is the answerer's policy for the windows the thread is about to create.
class RecordedBoxes {
 public:
  explicit RecordedBoxes(int answer, std::function<void()> on_box = {},
                         std::function<bool(HWND, const std::string&)> creating = {})
      : answerer_(BoxPolicy{
            .answer = [answer](const ShownBox&) { return answer; },
            .record =
                [this, on_box = std::move(on_box)](const ShownBox& box, int) {
                  boxes.push_back(WholeText(box.window) + "|" +
                                  WholeText(::GetDlgItem(box.window, 0xFFFF)));
                  if (on_box) on_box();
                },
            .creating = std::move(creating),
        }) {}

  std::vector<std::string> boxes;

 private:
  static std::string WholeText(HWND window) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  BoxAnswerer answerer_;  // after boxes, which its policy fills
};

}  // namespace sb::test
