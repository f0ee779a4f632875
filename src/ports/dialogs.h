// What the program's routines tell the user through: the application's message dialog and
// Windows' message boxes.
//
// An output port: the disk and volume routines report through it, and the user interface
// implements it (the Win32 windows with MessageBox, the tests with a recording fake). It
// sits below both, so that neither the routines nor their tests depend on the user
// interface.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"

namespace sb {

class Dialogs {
 public:
  enum class Owner { kNone, kMainWindow };

  virtual ~Dialogs() = default;
  // The application's message dialog: modal, the text and an OK button.
  virtual void ShowMessage(const Text& text) = 0;
  // A Windows message box in the build's character form (MessageBoxW in the 64-bit
  // program, MessageBoxA in the 32-bit one). Returns the button pressed (IDYES, ...).
  virtual int MessageBox(Owner owner, const Text& text, const Text& caption,
                         std::uint32_t type) = 0;
  // The single-byte MessageBoxA, in both programs.
  virtual int MessageBoxA(Owner owner, const std::string& text, const std::string& caption,
                          std::uint32_t type) = 0;
};

}  // namespace sb
