// The application's message dialog and Windows' message boxes, over MessageBox.
#pragma once

#include "platform/win32/win32_api.h"

#include "ui/texts.h"
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
    return MessageBoxT(OwnerWindow(owner), text.c_str(), caption.c_str(), type);
  }
  int MessageBoxA(Owner owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override {
    return ::MessageBoxA(OwnerWindow(owner), text.c_str(), caption.c_str(), type);
  }

 private:
  HWND OwnerWindow(Owner owner) const { return owner == Owner::kMainWindow ? owner_ : nullptr; }

  HWND owner_ = nullptr;
};

}  // namespace sb
