// windows.h for the Win32 code of the program. Include this instead of <windows.h>.
//
// The platform seam and the dialogs name their operations after the Windows calls they
// stand for (CreateFile, FormatMessage, MessageBox); windows.h turns those names into
// macros for the W or A form. The Win32 code calls the forms by their full names, so the
// macros are removed here, once, before any of the program's headers is read.
#pragma once

#include <windows.h>
// Read here, before any header of the program, so that names the program shares with the
// SDK (the DISK_ATTRIBUTE_ bits) are the SDK's wherever it has them.
#include <winioctl.h>

#undef CreateFile
#undef FormatMessage
#undef MessageBox

#include "platform/text.h"

namespace sb {

// An input that Windows takes through a non-const pointer and only reads (the text of a
// list-view column or cell, the input buffer of DeviceIoControl), passed on as it wants it.
template <typename T>
T* ReadOnlyInput(const T* input) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast)
  return const_cast<T*>(input);
}

// MessageBox in the program's own character form.
inline int MessageBoxT(HWND owner, const Char* text, const Char* caption, UINT type) {
#ifdef SPINDLEBAY_NARROW
  return ::MessageBoxA(owner, text, caption, type);
#else
  return ::MessageBoxW(owner, text, caption, type);
#endif
}

// CreateFile in the program's own character form.
inline HANDLE CreateFileT(const Char* path, DWORD access, DWORD share, DWORD disposition,
                          DWORD flags) {
#ifdef SPINDLEBAY_NARROW
  return ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
#else
  return ::CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
#endif
}

}  // namespace sb
