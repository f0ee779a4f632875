// startup_probe: the program's start with its stages timed, for startup_stages.
//
//   startup_probe <disks|nodisks|demo> <launch time> <file>
//
// The program's own Application starts the windows, over the real platform ("disks") or
// over one with no disks ("nodisks"), as the program and the skeleton do, or over the demo
// machine with the demo's notice window ("demo"), as spindlebay-demo.exe does. Hooks on the
// thread note when each stage of the start happens (see stage_probe.h), in milliseconds
// after the launch time, a reading of the performance counter taken by the launcher just
// before it created this process; over the real platform the time spent in the disk calls
// is added up as well. The hooks look at every message sent on the thread, so the start
// takes a little longer than the program's: the steps matter, not the sum. When the
// program first finds its queue empty, the stages are written to the file; the launcher
// then ends the process.
#include "platform/win32/win32_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "no_disks_platform.h"
#include "platform/win32/win32_platform.h"
#include "stage_probe.h"
#include "timed_platform.h"
#include "tools/demo/demo_machine.h"
#include "tools/demo/notice_delivery.h"
#include "ui/win32/app.h"
#include "volumes/volume_table.h"

namespace {

// Written under another name first and renamed, so that the launcher never reads half.
bool WriteFile(const char* path, const std::string& text) {
  const std::string partial = std::string(path) + ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) return false;
  return ::MoveFileExA(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

// Application::Start, then Application::Run's loop with a look at the queue before each
// wait: the first time it is empty, the stages are written, with the disk calls' times
// when the platform keeps them.
int RunWindows(HINSTANCE instance, sb::Platform& platform, int show_command,
               sb::bench::StageProbe& probe, const char* file,
               const sb::bench::TimedPlatform* timed = nullptr) {
  sb::Application application(instance, platform, sb::VolumeList);
  if (!application.Start(show_command)) return 1;
  probe.Stamp("Start returned");
  bool written = false;
  MSG message;
  for (;;) {
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!written) {
        probe.Stamp("first idle");
        if (timed != nullptr) {
          const std::pair<const char*, sb::bench::TimedPlatform::Tally> tallies[] = {
              {"disk opens", timed->opens},
              {"disk requests", timed->requests},
              {"handle closes", timed->closes},
              {"message texts", timed->message_texts}};
          for (const auto& [name, tally] : tallies) {
            probe.Total(std::string(name) + " (" + std::to_string(tally.calls) + ")", tally.ms);
          }
        }
        written = WriteFile(file, probe.Lines());
        if (!written) return 1;
      }
      ::WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    sb::DispatchProgramMessage(message);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  if (__argc < 4) return 2;
  const std::string variant = __argv[1];
  const char* file = __argv[3];
  sb::bench::StageProbe probe(std::atof(__argv[2]));
  probe.Stamp("WinMain entered");
  if (variant == "demo") {
    // As spindlebay-demo.exe starts, without the tour's stick.
    sb::demo::NoticePostingMachine machine;
    sb::demo::BuildDemoMachine(machine);
    probe.Stamp("demo machine built");
    // Made as the demo makes it; the start changes nothing, so no notice needs a target.
    const sb::demo::NoticeWindow driver(instance, L"SpindlebayDemoDriver");
    machine.set_notice_window(driver.hwnd());
    probe.Stamp("demo's notice window created");
    return RunWindows(instance, machine, show_command, probe, file);
  }
  if (variant == "disks") {
    sb::Win32Platform real;
    sb::bench::TimedPlatform platform(real);
    return RunWindows(instance, platform, show_command, probe, file, &platform);
  }
  sb::Win32Platform real;
  sb::bench::NoDisksPlatform platform(real);
  return RunWindows(instance, platform, show_command, probe, file);
}
