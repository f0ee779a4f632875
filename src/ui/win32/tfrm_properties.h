// The Properties window: one read-only text box with a disk's report.
#pragma once

#include "platform/win32/win32_api.h"

#include "ui/view.h"
#include "ui/win32/base_window.h"
#include "ui/win32/message_dialogs.h"

namespace sb {

// Its destructor is private: the object deletes itself with its window, and nobody else may.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class Tfrmproperties final : public BaseWindow<Tfrmproperties>, public Lines {
 public:
  static constexpr int kClientWidth = 490;
  static constexpr int kClientHeight = 329;
  // The window class, so that tests and tools can find the window.
  static constexpr const TCHAR* kClassName = TEXT("Tfrmproperties");

  static bool RegisterClass(HINSTANCE instance);
  // Creates the window, hidden, owned by owner, and makes it frmproperties. The object deletes
  // itself when its window is destroyed: when the user closes it, or with its owner.
  static Tfrmproperties* Create(HINSTANCE instance, HWND owner, HFONT font);

  HWND memo() const { return memo_; }
  void SetCaption(const Text& caption);
  // Shows the window, not modally, and runs FormShow.
  void Show();

  // The lines of Memo1.
  void Clear() override;
  void Add(const Text& line) override;

 private:
  friend class BaseWindow<Tfrmproperties>;

  Tfrmproperties() = default;
  ~Tfrmproperties() override;
  Tfrmproperties(const Tfrmproperties&) = delete;
  Tfrmproperties& operator=(const Tfrmproperties&) = delete;
  // --- BaseWindow ---
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Memo1's own keys beside the edit control's: Ctrl+A selects the whole text, which the
  // edit control of the common controls before version 6 does not do.
  static LRESULT CALLBACK MemoProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR data) noexcept;
  // The window is gone: so is its object, once the window owns it.
  void OnDetached() {
    if (owned_by_window_) delete this;
  }
  Dialogs& dialogs() { return dialogs_; }

  bool CreateControls(HINSTANCE instance);
  // Brings the window to the front and gives it the focus, which it passes on to Memo1.
  void FormShow();
  void FormClose();

  MessageDialogs dialogs_;
  HFONT font_ = nullptr;  // the main window's, which outlives this window
  bool owned_by_window_ = false;
  // Memo1 said it could not take an insertion (EN_ERRSPACE or EN_MAXTEXT).
  bool memo_refused_ = false;
  std::size_t lines_added_ = 0;
  HWND group_box_ = nullptr;  // GroupBox1
  HWND memo_ = nullptr;       // Memo1
};

// The most recently created Properties window.
// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
extern Tfrmproperties* frmproperties;

}  // namespace sb
