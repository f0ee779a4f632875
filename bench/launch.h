// A program launched by a benchmark, ended when the benchmark is done with it, and the
// windows it shows.
#pragma once

#include <windows.h>

#include <string>

namespace sb::bench {

inline constexpr DWORD kLaunchTimeoutMs = 30000;

// The text in Windows' ANSI code page as UTF-16.
inline std::wstring Widen(const char* text) {
  std::wstring wide;
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (size <= 0) return wide;
  wide.resize(static_cast<std::size_t>(size));
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
  wide.pop_back();
  return wide;
}

// A top-level window of the class that belongs to the process, or nullptr.
inline HWND WindowOf(DWORD process_id, const wchar_t* class_name) {
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, class_name, nullptr)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == process_id) return window;
  }
  return nullptr;
}

// A process started with the arguments and terminated when the object goes.
class Launched {
 public:
  explicit Launched(const std::wstring& program, const std::wstring& arguments = {}) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    ok_ = ::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info_) != FALSE;
  }
  Launched(const Launched&) = delete;
  Launched& operator=(const Launched&) = delete;
  ~Launched() {
    if (!ok_) return;
    ::TerminateProcess(info_.hProcess, 0);
    ::WaitForSingleObject(info_.hProcess, kLaunchTimeoutMs);
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
  bool ok() const { return ok_; }
  DWORD id() const { return info_.dwProcessId; }
  HANDLE process() const { return info_.hProcess; }
  bool Exited() const { return ::WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }

 private:
  PROCESS_INFORMATION info_{};
  bool ok_ = false;
};

}  // namespace sb::bench
