// Runs the message poster, another process, against a window of this one.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>
#include <string>

namespace sb {

// Starts message_poster with the window and the commands, lets this thread's messages run
// until it ends (the window answers it meanwhile) and returns its exit status; -1 when it
// could not be started or did not end within a minute.
inline int RunMessagePoster(HWND window, const std::string& commands) {
  std::string command_line = std::string("\"") + SB_MESSAGE_POSTER + "\" " +
                             std::to_string(reinterpret_cast<std::uintptr_t>(window)) + " " +
                             commands;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return -1;
  }
  ::CloseHandle(process.hThread);
  const ULONGLONG deadline = ::GetTickCount64() + 60000;
  int status = -1;
  for (;;) {
    const DWORD wait = ::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) {
      DWORD code = 0;
      ::GetExitCodeProcess(process.hProcess, &code);
      status = static_cast<int>(code);
      break;
    }
    MSG message;
    while (::PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessage(&message);
    }
    if (::GetTickCount64() > deadline) {
      ::TerminateProcess(process.hProcess, 1);
      break;
    }
  }
  ::CloseHandle(process.hProcess);
  return status;
}

}  // namespace sb
