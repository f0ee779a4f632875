// The program's own texts that more than one file shows: the title of the application's
// message dialog, the main window's caption, the answer to a command without a disk.
#pragma once

#include "platform/text.h"

namespace sb {

inline constexpr const Char* kProgramTitle = SB_T("Spindlebay");
inline constexpr const Char* kMainCaption = SB_T("Spindlebay 0.9 - support@spindlebay.example");
inline constexpr const Char* kPickADisk = SB_T("pick a disk/part");

}  // namespace sb
