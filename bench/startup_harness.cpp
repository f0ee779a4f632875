// Start-up times of several programs, launched in turn in the same run.
//
//   startup_harness <rounds> <label> <ready> <program.exe> [<label> <ready> <program.exe>]...
//
// <ready> says when a launch counts as started:
//   list:N     its main window ("TfrmMain") is visible and the disk list (control 100)
//              answers that it holds N rows
//   window:C   a top-level window of class C is visible
//
// Each round launches every program once and ends it before the next starts; the order
// rotates from round to round, so that no program always follows the same other one. A
// first round warms the file cache and is not counted. For each program the harness prints
// the median start-up, its quartiles and extremes, and the medians of when its window
// first existed, when it became visible and when the program first went idle (waiting for
// input with none pending). The first program is the base: every other one is compared
// with it by the ratio of the medians, and by the ratio within each round, whose launches
// are at most a second or two apart: its quartiles show how far the changing load of the
// machine moved the comparison.
//
// Lines for scripts:
//   RESULT startup_<label> <median ms> <base median ms> <ratio of medians> <rounds> 0
//   SPREAD startup_<label> <min> <q1> <q3> <max> <round ratio q1> <median> <q3>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "launch.h"
#include "timing.h"

namespace {

using sb::bench::Launched;
using sb::bench::Median;
using sb::bench::Now;
using sb::bench::Quantile;
using sb::bench::WindowOf;

constexpr int kListControlId = 100;  // TfrmMain::kIdList

struct Program {
  std::string label;
  std::wstring path;
  std::wstring window_class;  // the window whose showing is awaited
  LRESULT rows = -1;          // the rows its list must hold; -1: no list to wait for
};

// Milliseconds from the launch to each stage of one start; negative when never reached.
struct Stages {
  double seen = -1;   // the window exists
  double shown = -1;  // it is visible
  double ready = -1;  // visible, with the list filled when there is one
  double idle = -1;   // the program first waits for input with none pending
};

// The stages of the counted starts; a stage never reached is left out.
struct Samples {
  std::vector<double> seen, shown, ready, idle;
  void Add(const Stages& stages) {
    const std::pair<std::vector<double>*, double> pairs[] = {
        {&seen, stages.seen}, {&shown, stages.shown}, {&ready, stages.ready}, {&idle, stages.idle}};
    for (const auto& [values, ms] : pairs) {
      if (ms >= 0) values->push_back(ms);
    }
  }
};

bool ParseReady(const char* text, Program& program) {
  if (std::strncmp(text, "list:", 5) == 0) {
    program.window_class = L"TfrmMain";
    program.rows = std::atoi(text + 5);
    return true;
  }
  if (std::strncmp(text, "window:", 7) == 0) {
    program.window_class = sb::bench::Widen(text + 7);
    return !program.window_class.empty();
  }
  return false;
}

// The number of rows in the list of the window, or -1 while the program does not answer.
LRESULT ListRows(HWND main) {
  HWND list = ::GetDlgItem(main, kListControlId);
  if (list == nullptr) return -1;
  DWORD_PTR count = 0;
  if (::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count) == 0) {
    return -1;
  }
  return static_cast<LRESULT>(count);
}

// Launches the program and follows its start until it is ready and idle.
bool TimeStart(const Program& program, Stages& stages) {
  const double start = Now();
  auto elapsed_ms = [start] { return (Now() - start) * 1000; };
  Launched launched(program.path);
  if (!launched.ok()) return false;
  while (elapsed_ms() < sb::bench::kLaunchTimeoutMs) {
    if (HWND window = WindowOf(launched.id(), program.window_class.c_str())) {
      if (stages.seen < 0) stages.seen = elapsed_ms();
      if (stages.shown < 0 && ::IsWindowVisible(window)) stages.shown = elapsed_ms();
      if (stages.shown >= 0 && (program.rows < 0 || ListRows(window) == program.rows)) {
        stages.ready = elapsed_ms();
        break;
      }
    }
    if (launched.Exited()) return false;
    ::Sleep(1);  // a busy poll would take a core from the program it waits for
  }
  if (stages.ready < 0) return false;
  if (::WaitForInputIdle(launched.process(), sb::bench::kLaunchTimeoutMs) == 0) {
    stages.idle = elapsed_ms();
  }
  return true;
}

void PrintSpread(const char* name, const std::vector<double>& values) {
  std::printf("  %-8s median %7.1f   quartiles %7.1f %7.1f   min %7.1f   max %7.1f\n", name,
              Median(values), Quantile(values, 0.25), Quantile(values, 0.75), Quantile(values, 0),
              Quantile(values, 1));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) {
    std::fprintf(stderr,
                 "usage: startup_harness <rounds> <label> <list:N|window:CLASS> <program.exe> "
                 "[<label> <ready> <program.exe>]...\n");
    return 2;
  }
  const int rounds = std::max(1, std::atoi(argv[1]));
  std::vector<Program> programs;
  for (int i = 2; i + 2 < argc; i += 3) {
    Program program;
    program.label = argv[i];
    program.path = sb::bench::Widen(argv[i + 2]);
    if (!ParseReady(argv[i + 1], program)) {
      std::fprintf(stderr, "startup_harness: %s: unknown readiness %s\n", argv[i], argv[i + 1]);
      return 2;
    }
    programs.push_back(program);
  }

  const std::size_t count = programs.size();
  std::vector<Samples> samples(count);
  for (int round = 0; round <= rounds; ++round) {
    std::printf("round %2d:", round);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = (k + static_cast<std::size_t>(round)) % count;
      Stages stages;
      if (!TimeStart(programs[i], stages)) {
        std::printf("\n");
        std::fprintf(stderr, "startup_harness: round %d: %s never became ready\n", round,
                     programs[i].label.c_str());
        return 1;
      }
      std::printf("  %s %.1f (idle %.1f)", programs[i].label.c_str(), stages.ready, stages.idle);
      if (round > 0) samples[i].Add(stages);  // the first round loads the files into the cache
    }
    std::printf("%s\n", round == 0 ? "   (warm-up, not counted)" : "");
    std::fflush(stdout);
  }

  std::printf("\nmilliseconds from launch, %d rounds:\n", rounds);
  const double base = Median(samples[0].ready);
  for (std::size_t i = 0; i < count; ++i) {
    const Samples& s = samples[i];
    std::printf("%s\n", programs[i].label.c_str());
    PrintSpread("seen", s.seen);
    PrintSpread("shown", s.shown);
    PrintSpread("ready", s.ready);
    PrintSpread("idle", s.idle);
    std::vector<double> round_ratios;
    for (std::size_t r = 0; r < s.ready.size(); ++r) {
      round_ratios.push_back(s.ready[r] / samples[0].ready[r]);
    }
    const double ready = Median(s.ready);
    if (i > 0) {
      std::printf(
          "  vs %s: ratio of medians %.3f; ratio within a round: median %.3f, "
          "quartiles %.3f %.3f\n",
          programs[0].label.c_str(), ready / base, Median(round_ratios),
          Quantile(round_ratios, 0.25), Quantile(round_ratios, 0.75));
    }
    std::printf("RESULT startup_%s %.3f %.3f %.4f %d 0\n", programs[i].label.c_str(), ready, base,
                ready / base, rounds);
    std::printf("SPREAD startup_%s %.3f %.3f %.3f %.3f %.4f %.4f %.4f\n", programs[i].label.c_str(),
                Quantile(s.ready, 0), Quantile(s.ready, 0.25), Quantile(s.ready, 0.75),
                Quantile(s.ready, 1), Quantile(round_ratios, 0.25), Median(round_ratios),
                Quantile(round_ratios, 0.75));
  }
  return 0;
}
