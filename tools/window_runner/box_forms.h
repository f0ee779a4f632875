// Which of MessageBoxA and MessageBoxW made a message box. A box on screen looks the same
// either way, so the runner replaces this program's own imports of the two with recorders
// that note the form and call Windows' function.
#pragma once

namespace sb::window_runner {

enum class BoxForm { kUnknown, kWide, kSingleByte };

// Replaces the program's imports of MessageBoxA and MessageBoxW (the windows' code is linked
// into the runner, so its calls go through them). False when either is not found.
bool RecordBoxForms();

// The form of the latest call of the two: the box being shown now.
BoxForm LastBoxForm();

}  // namespace sb::window_runner
