// Message boxes answered as they come up, for the programs that drive the real windows
// without a person in front of them (the soak, the monkey, the window runner, the window
// tests).
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ui/win32/ui_handles.h"

namespace sb {

// A box as it comes up: its window and the standard buttons it has, in the order of their
// identifiers (IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDTRYAGAIN,
// IDCONTINUE).
struct ShownBox {
  HWND window = nullptr;
  std::vector<int> buttons;

  bool Has(int button) const;
};

// Yes where the box asks a question, OK otherwise: the answer of a user who goes on.
int YesOrOk(const ShownBox& box);

// What the answerer does. Any member may be left empty.
struct BoxPolicy {
  // The button that answers a box; empty: YesOrOk.
  std::function<int(const ShownBox&)> answer{};
  // Told of every box and the answer chosen for it, before the answer is given.
  std::function<void(const ShownBox&, int answer)> record{};
  // Told of every window the thread is about to create, with its class name; false refuses
  // the creation (a window that cannot be created).
  std::function<bool(HWND window, const std::string& class_name)> creating{};
};

// Answers every message box of the thread that makes it, once, as soon as the box is
// active, by posting the click of the chosen button. One answerer per thread at a time.
// The hook never lets an exception out: a policy that throws is counted in failures(), its
// box answered YesOrOk and its window creation allowed, so that a run cannot hang on it.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(BoxPolicy policy = {});
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  bool installed() const { return hook_.valid(); }
  int answered() const { return answered_count_; }
  int failures() const { return failures_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) noexcept;
  void Answer(HWND box) noexcept;
  bool Creating(HWND window) noexcept;

  // The answerer of this thread: a hook procedure gets no pointer of its own to find it by.
  // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
  static inline thread_local BoxAnswerer* instance_ = nullptr;
  BoxPolicy policy_;
  std::set<HWND> answered_;  // a box activated again (after another window) is not answered twice
  int answered_count_ = 0;
  int failures_ = 0;
  UniqueHook hook_;  // last, so that it is removed before the rest goes
};

}  // namespace sb
