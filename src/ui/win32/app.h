// Program start: the windows, then the message loop until the main window closes.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/platform.h"
#include "ui/win32/message_filter.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/tfrm_main.h"
#include "volumes/volume_table.h"

namespace sb {

// The program's windows from start until the main window closes, over a given platform.
class Application {
 public:
  Application(HINSTANCE instance, Platform& platform, VolumeTable& volume_table);

  // Registers the window classes, creates frmMain, shows it (which fills the disk list) and
  // creates the hidden Properties window of the start. False when a window class or the
  // main window cannot be created.
  bool Start(int show_command);
  // The message loop, until the main window closes. Returns the exit code.
  int Run();

  TfrmMain& main_window() { return main_window_; }

 private:
  HINSTANCE instance_;
  // Before the windows, so that no forged post reaches them.
  PostedMessageFilter filter_;
  TfrmMain main_window_;
};

// Start and message loop of the program. Returns the exit code.
int RunApplication(HINSTANCE instance, Platform& platform, VolumeTable& volume_table,
                   int show_command);

}  // namespace sb
