// The application's message dialog and the system message boxes, over MessageBox.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/error.h"
#include "ui/main_form.h"
#include "ui/view.h"

namespace sb {

class MessageDialogs final : public Dialogs {
 public:
  // The window that owns the application's message dialog and the boxes that name the
  // main window as their owner.
  void set_owner(HWND owner) { owner_ = owner; }

  void ShowMessage(const Text& text) override {
    MessageBoxT(owner_, text.c_str(), kProgramTitle, MB_OK);
  }
  int MessageBox(Owner owner, const Text& text, const Text& caption, std::uint32_t type) override {
    return Answered(MessageBoxT(OwnerWindow(owner), text.c_str(), caption.c_str(), type), type);
  }
  int MessageBoxA(Owner owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override {
    return Answered(::MessageBoxA(OwnerWindow(owner), text.c_str(), caption.c_str(), type), type);
  }

 private:
  // A box that could not be shown (no memory, or its owner went away) answers 0, or -1 from
  // a dialog that could not be made; neither is No, so a question nobody saw would let its
  // command go on. It stops the command instead, and the window's exception barrier tells
  // the user. A notice with only OK needs no answer.
  static int Answered(int answer, std::uint32_t type) {
    if (answer <= 0 && (type & MB_TYPEMASK) != MB_OK) {
      throw Error(SB_T("The question could not be shown; nothing was done."));
    }
    return answer;
  }

  HWND OwnerWindow(Owner owner) const { return owner == Owner::kMainWindow ? owner_ : nullptr; }

  HWND owner_ = nullptr;
};

}  // namespace sb
