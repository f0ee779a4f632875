// Start-up time of the program's window beside that of a minimal Win32 window.
//
// Each round launches the demo program and waits until its main window ("TfrmMain")
// exists and its disk list (control 100) holds the expected number of rows, then launches
// the minimal window program and waits until its window is visible. Both are ended after
// each round. The medians of the rounds and their ratio are printed.
//
//   startup_harness <program.exe> <minimal_window.exe> [rounds] [rows] [minimal arguments]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "timing.h"

namespace {

using sb::bench::Median;
using sb::bench::Now;

constexpr int kListControlId = 100;
constexpr DWORD kTimeoutMs = 30000;

std::wstring Widen(const char* text) {
  std::wstring wide;
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (size <= 0) return wide;
  wide.resize(static_cast<std::size_t>(size));
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
  wide.pop_back();
  return wide;
}

// A top-level window of the class that belongs to the process, or nullptr.
HWND WindowOf(DWORD process_id, const wchar_t* class_name) {
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, class_name, nullptr)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == process_id) return window;
  }
  return nullptr;
}

class Launched {
 public:
  Launched(const std::wstring& program, const std::wstring& arguments) {
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
    ::WaitForSingleObject(info_.hProcess, kTimeoutMs);
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
  bool ok() const { return ok_; }
  DWORD id() const { return info_.dwProcessId; }
  bool Exited() const { return ::WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }

 private:
  PROCESS_INFORMATION info_{};
  bool ok_ = false;
};

// When the current launch began, and when the program's main window was first seen.
double g_launch_start = 0;
double g_window_seen = -1;

// Seconds from launch until ready() holds; a negative value when it never did.
template <typename Ready>
double TimeLaunch(const std::wstring& program, const std::wstring& arguments, Ready ready) {
  const double start = Now();
  g_launch_start = start;
  g_window_seen = -1;
  Launched launched(program, arguments);
  if (!launched.ok()) return -1;
  while (Now() - start < kTimeoutMs / 1000.0) {
    if (ready(launched.id())) return Now() - start;
    if (launched.Exited()) return -1;
    ::Sleep(1);  // a busy poll would take a core from the program it waits for
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: startup_harness <program.exe> <minimal_window.exe> [rounds] [rows] "
                 "[minimal arguments]\n");
    return 2;
  }
  const std::wstring program = Widen(argv[1]);
  const std::wstring minimal = Widen(argv[2]);
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 11;
  const LRESULT rows = argc > 4 ? std::atoi(argv[4]) : 6;
  const std::wstring minimal_arguments = argc > 5 ? Widen(argv[5]) : std::wstring();

  auto program_ready = [rows](DWORD id) {
    HWND main = WindowOf(id, L"TfrmMain");
    if (main == nullptr) return false;
    if (g_window_seen < 0) g_window_seen = Now() - g_launch_start;
    HWND list = ::GetDlgItem(main, kListControlId);
    if (list == nullptr) return false;
    DWORD_PTR count = 0;
    if (::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count) == 0) {
      return false;
    }
    return static_cast<LRESULT>(count) == rows;
  };
  auto minimal_ready = [](DWORD id) {
    HWND window = WindowOf(id, L"SbMinimalWindow");
    return window != nullptr && ::IsWindowVisible(window) != FALSE;
  };

  std::vector<double> program_times;
  std::vector<double> window_times;  // until the program's main window existed
  std::vector<double> minimal_times;
  for (int round = 0; round < rounds + 1; ++round) {
    const double p = TimeLaunch(program, std::wstring(), program_ready);
    const double w = g_window_seen;
    const double m = TimeLaunch(minimal, minimal_arguments, minimal_ready);
    if (p < 0 || m < 0) {
      std::fprintf(stderr, "startup_harness: round %d: %s never became ready\n", round,
                   p < 0 ? "the program" : "the minimal window");
      return 1;
    }
    std::printf(
        "round %2d: program %8.1f ms (main window after %6.1f ms)   minimal window %8.1f ms%s\n",
        round, p * 1000, w * 1000, m * 1000, round == 0 ? "   (warm-up, not counted)" : "");
    if (round == 0) continue;  // the first launch loads the files into the cache
    program_times.push_back(p * 1000);
    window_times.push_back(w * 1000);
    minimal_times.push_back(m * 1000);
  }
  const double program_ms = Median(program_times);
  const double minimal_ms = Median(minimal_times);
  std::printf(
      "startup    program %8.1f ms   minimal window %8.1f ms   ratio %.3f   (%d rounds, medians)\n",
      program_ms, minimal_ms, program_ms / minimal_ms, rounds);
  std::printf("           program's main window first seen after %.1f ms (median)\n",
              Median(window_times));
  std::printf("RESULT startup %.3f %.3f %.4f %d 0\n", program_ms, minimal_ms,
              program_ms / minimal_ms, rounds);
  return 0;
}
