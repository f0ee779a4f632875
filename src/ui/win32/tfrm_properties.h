// The Properties window: one read-only text box with a disk's report.
#pragma once

#include "platform/win32/win32_api.h"

#include "ui/view.h"

namespace sb {

class Tfrmproperties final : public Lines {
 public:
  static constexpr int kClientWidth = 490;
  static constexpr int kClientHeight = 329;

  static bool RegisterClass(HINSTANCE instance);
  // Creates the window, hidden, owned by owner. The object deletes itself when its window
  // is destroyed: when the user closes it, or with its owner.
  static Tfrmproperties* Create(HINSTANCE instance, HWND owner, HFONT font);

  HWND hwnd() const { return hwnd_; }
  HWND memo() const { return memo_; }
  void SetCaption(const Text& caption);
  // Shows the window, not modally, and runs FormShow.
  void Show();

  // The lines of Memo1.
  void Clear() override;
  void Add(const Text& line) override;

 private:
  Tfrmproperties() = default;
  ~Tfrmproperties() override;
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void FormShow();
  void FormClose();

  HWND hwnd_ = nullptr;
  HWND group_box_ = nullptr;  // GroupBox1
  HWND memo_ = nullptr;       // Memo1
};

// The most recently created Properties window.
extern Tfrmproperties* frmproperties;

}  // namespace sb
