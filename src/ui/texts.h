// The program's own texts that more than one file shows: the title of the application's
// message dialog, the main window's caption, the answer to a command without a disk.
#pragma once

#include "platform/text.h"
#include "spindlebay_version.h"

namespace sb {

inline constexpr const Char* kProgramTitle = SB_T("Spindlebay");
// The version shown is the project's major and minor version (project() in CMakeLists.txt).
inline constexpr const Char* kMainCaption =
    SB_T("Spindlebay " SB_PRODUCT_VERSION " - support@spindlebay.example");
inline constexpr const Char* kPickADisk = SB_T("pick a disk/part");

}  // namespace sb
