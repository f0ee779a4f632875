// Records when the stages of the program's start happen, from hooks on its own thread.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>
#include <utility>
#include <vector>

#include "ui/win32/ui_handles.h"

namespace sb::bench {

// While it lives, the thread's window hooks note the first time of each stage: the main
// window and the Properties window begin to be created, the main window's controls exist
// (WM_CREATE returned), the list fill runs (WM_SHOWWINDOW) with its first row and its
// selection, the main window is activated, the first focus change, the first paints of the
// main window and of its list. Times are
// milliseconds after a reference reading of the performance counter.
class StageProbe {
 public:
  explicit StageProbe(double reference);
  ~StageProbe();
  StageProbe(const StageProbe&) = delete;
  StageProbe& operator=(const StageProbe&) = delete;

  // Notes the stage unless it was noted already.
  void Stamp(const char* stage);
  // Notes a duration that is not a point of the start: milliseconds spent in some calls.
  void Total(const std::string& name, double ms);
  // "<stage>\t<milliseconds>" lines, in the order the stages happened, then
  // "=<name>\t<milliseconds>" lines of the totals.
  std::string Lines() const;

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK OnCall(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK OnCallReturn(int code, WPARAM wparam, LPARAM lparam);

  double reference_;
  std::vector<std::pair<std::string, double>> stages_;
  std::vector<std::pair<std::string, double>> totals_;
  UniqueHook cbt_;
  UniqueHook call_;
  UniqueHook call_return_;
};

}  // namespace sb::bench
