// The class names the tools look for: Windows' own box and menu classes, and the class of a
// window as Windows gives it. The program's two windows name theirs in TfrmMain::kClassName
// and Tfrmproperties::kClassName.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>

namespace sb {

// The class of a dialog box, and so of a message box.
inline constexpr char kDialogClass[] = "#32770";
// The class of a popup menu.
inline constexpr char kMenuClass[] = "#32768";

// The longest class name ClassOf reads whole; Windows allows 256 characters.
inline constexpr int kClassNameCapacity = 257;

// The class name of window, in ASCII; empty when the window is gone. Reads into a buffer of
// its own before it allocates the string.
std::string ClassOf(HWND window);

// Whether window's class is name. Allocates nothing and never throws, so that a hook may ask.
bool HasClass(HWND window, const char* name) noexcept;

}  // namespace sb
