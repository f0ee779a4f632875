// What the user sees of the real main window as it happens, recorded by hooks on the
// window's thread: the message boxes (answered with the queued answers), the status bar
// changes, the refills of the list, the Properties windows shown, and the pending messages
// let run after a command's pause. The events are worded as the scenario runner words the
// recording view's.
#pragma once

#include "platform/win32/win32_api.h"

#include <deque>
#include <string>
#include <vector>

#include "tools/boxes/box_answerer.h"
#include "ui/win32/ui_handles.h"

namespace sb {
class TfrmMain;
}

namespace sb::window_runner {

class WindowObserver {
 public:
  struct Event {
    std::string line;
    HWND properties = nullptr;  // a Properties window: its caption and lines are read later
  };

  // Installs the hooks on the calling thread, which must be the windows' thread.
  // main_window: the program's main window, from before its start; it outlives the observer.
  explicit WindowObserver(const TfrmMain& main_window);
  ~WindowObserver();
  WindowObserver(const WindowObserver&) = delete;
  WindowObserver& operator=(const WindowObserver&) = delete;

  bool installed() const;

  // The answer (IDYES, IDNO, IDOK) of the next box; a box with none gets Yes or OK.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // A user action runs: pending messages let run before it ends are reported.
  void set_in_action(bool in_action) { in_action_ = in_action; }
  // The command paused. A command that lets pending messages run does so right after its
  // pause; a marker posted now tells whether it did within the action.
  void MarkPause();

  std::vector<Event> TakeEvents();
  // What the observer could not take whole (empty while all is well).
  const std::string& error() const { return error_; }

 private:
  static LRESULT CALLBACK OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept;
  static LRESULT CALLBACK MarkerProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;
  int AnswerBox(const ShownBox& box);
  void RecordBox(const ShownBox& box);
  void OnSentMessage(const CWPSTRUCT& sent);
  HWND MainWindow() const;

  static inline WindowObserver* instance_ = nullptr;
  const TfrmMain& main_window_;
  HWND marker_window_ = nullptr;
  UINT marker_ = 0;
  bool in_action_ = false;
  std::deque<int> answers_;
  std::vector<Event> events_;
  std::string error_;
  BoxAnswerer boxes_;
  UniqueHook sent_;
};

}  // namespace sb::window_runner
