// The monkey's trail: the last events and the messages the program's windows received
// meanwhile, kept in one ring in the order they happened and printed when a batch fails,
// so that a failing campaign explains itself.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "ui/win32/ui_handles.h"

namespace sb::monkey {

class Trail {
 public:
  // Records the messages of the calling thread's windows from now on.
  explicit Trail(std::size_t capacity);
  ~Trail();
  Trail(const Trail&) = delete;
  Trail& operator=(const Trail&) = delete;

  bool installed() const { return sent_.valid() && posted_.valid(); }

  // The windows' names in the trail (the main window and its controls are named at first
  // sight; Properties windows and boxes are numbered as they come).
  void Name(HWND window, const std::string& name) { names_[window] = name; }
  void Add(std::string line);
  // The trail, oldest first.
  void Print() const;
  // What a window is, as the trail names it.
  std::string Describe(HWND window);

 private:
  static LRESULT CALLBACK OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept;
  static LRESULT CALLBACK OnPosted(int code, WPARAM wparam, LPARAM lparam) noexcept;
  void OnMessage(const char* how, HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

  static inline Trail* instance_ = nullptr;
  // The stall watch prints the trail from a thread of its own while the windows' thread is
  // stuck.
  mutable std::recursive_mutex mutex_;
  std::size_t capacity_;
  std::deque<std::string> lines_;
  std::string last_;
  int repeats_ = 0;
  std::map<HWND, std::string> names_;
  int properties_ = 0;
  int boxes_ = 0;
  int menus_ = 0;
  UniqueHook sent_;
  UniqueHook posted_;
};

}  // namespace sb::monkey
