// The monkey's input: keys and clicks through SendInput, so that they take Windows' own
// path (focus, capture, hit testing), and the windows of the calling thread.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>
#include <vector>

namespace sb::monkey {

// The name of a key the monkey presses, for the trail.
const char* KeyName(WORD key);

void PressKey(WORD key);
void PressWithShift(WORD key);

// Clicks count times at a point of the screen, with the right button or the left. The first
// click never joins the last click of the event before into a double click: that would
// depend on how long the events took.
void Click(POINT screen, bool right, int count);

// The top-level windows of the calling thread.
std::vector<HWND> ThreadWindows();
// The thread's windows and their controls.
std::vector<HWND> WindowsAndChildren();
// The first 127 characters of a window's text, in ASCII.
std::string TextOf(HWND window);

}  // namespace sb::monkey
