// Where the time of a start goes: the stages of the program's start, timed from inside.
//
//   startup_stages <runs> <startup_probe.exe> <variant>...
//
// Launches startup_probe with each variant ("disks": the real platform, as spindlebay.exe;
// "nodisks": the platform without disks, as the skeleton; "demo": the demo's machine and
// notice window, as spindlebay-demo.exe) in turn, runs times plus a first run that is not
// counted, and prints for each stage the median milliseconds from the
// launch, per variant, and the medians of the time spent in the disk calls where the
// probe kept them. The probe writes its stages to a file once it is first idle; it is
// ended as soon as the file is there.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "launch.h"
#include "timing.h"

namespace {

using sb::bench::Median;
using sb::bench::Now;

using StageTimes = std::map<std::string, std::vector<double>>;

std::string TempFile(int run, std::size_t variant) {
  char directory[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, directory);
  return std::string(directory) + "sb_stages_" + std::to_string(::GetCurrentProcessId()) + "_" +
         std::to_string(run) + "_" + std::to_string(variant) + ".txt";
}

// One probe's start; false when it did not write its stages in time.
bool RunProbe(const std::wstring& probe, const std::string& variant, const std::string& file,
              std::vector<std::pair<std::string, double>>& stages) {
  ::DeleteFileA(file.c_str());
  char reference[64];
  const double start = Now();
  std::snprintf(reference, sizeof reference, "%.7f", start);
  const std::string arguments = variant + " " + reference + " \"" + file + "\"";
  sb::bench::Launched launched(probe, sb::bench::Widen(arguments.c_str()));
  if (!launched.ok()) return false;
  while (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (launched.Exited()) {
      DWORD code = 0;
      ::GetExitCodeProcess(launched.process(), &code);
      std::fprintf(stderr, "startup_stages: the probe (%s) ended with code %#lx\n", variant.c_str(),
                   static_cast<unsigned long>(code));
      return false;
    }
    if (Now() - start > sb::bench::kLaunchTimeoutMs / 1000.0) return false;
    ::Sleep(5);
  }
  // The file can be there a moment before it can be opened (Wine renames it, then closes
  // the handle that renamed it): a few tries.
  for (int attempt = 0; attempt < 20 && stages.empty(); ++attempt) {
    if (attempt > 0) ::Sleep(10);
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      const std::size_t tab = line.find('\t');
      if (tab == std::string::npos) continue;
      stages.emplace_back(line.substr(0, tab), std::atof(line.c_str() + tab + 1));
    }
  }
  if (stages.empty()) {
    std::fprintf(stderr, "startup_stages: %s cannot be read\n", file.c_str());
    return false;
  }
  ::DeleteFileA(file.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: startup_stages <runs> <startup_probe.exe> <variant>...\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const std::wstring probe = sb::bench::Widen(argv[2]);
  const std::vector<std::string> variants(argv + 3, argv + argc);

  std::vector<StageTimes> times(variants.size());
  std::vector<StageTimes> totals(variants.size());
  std::vector<std::string> total_order;
  for (int run = 0; run <= runs; ++run) {
    for (std::size_t k = 0; k < variants.size(); ++k) {
      const std::size_t v = (k + static_cast<std::size_t>(run)) % variants.size();
      std::vector<std::pair<std::string, double>> stages;
      if (!RunProbe(probe, variants[v], TempFile(run, v), stages)) {
        std::fprintf(stderr, "startup_stages: run %d of %s gave no stages\n", run,
                     variants[v].c_str());
        return 1;
      }
      if (run == 0) continue;  // the first launch loads the files into the cache
      for (const auto& [stage, ms] : stages) {
        const bool total = stage[0] == '=';
        const std::string name = total ? stage.substr(1) : stage;
        if (total && std::find(total_order.begin(), total_order.end(), name) == total_order.end()) {
          total_order.push_back(name);
        }
        (total ? totals : times)[v][name].push_back(ms);
      }
    }
  }

  std::printf("median milliseconds from the launch, %d runs each\n%-36s", runs, "stage");
  for (const auto& variant : variants) std::printf(" %10s %7s", variant.c_str(), "step");
  std::printf("\n");
  // Each variant's stages in the order of their medians, merged: a stage that only some
  // variants pass goes after the stage that precedes it in the first of them. A variant
  // that never passes a stage leaves its column empty there.
  std::vector<std::string> order;
  for (const auto& variant_times : times) {
    std::vector<std::string> stages;
    for (const auto& entry : variant_times) stages.push_back(entry.first);
    std::sort(stages.begin(), stages.end(), [&](const std::string& a, const std::string& b) {
      return Median(variant_times.at(a)) < Median(variant_times.at(b));
    });
    std::size_t position = 0;
    for (const auto& stage : stages) {
      const auto found = std::find(order.begin(), order.end(), stage);
      if (found != order.end()) {
        position = static_cast<std::size_t>(found - order.begin()) + 1;
      } else {
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(position++), stage);
      }
    }
  }
  std::vector<double> previous(variants.size(), 0);
  for (const auto& stage : order) {
    std::printf("%-36s", stage.c_str());
    for (std::size_t v = 0; v < variants.size(); ++v) {
      const auto found = times[v].find(stage);
      if (found == times[v].end()) {
        std::printf(" %10s %7s", "", "");
        continue;
      }
      const double ms = Median(found->second);
      std::printf(" %10.1f %+7.1f", ms, ms - previous[v]);
      previous[v] = ms;
    }
    std::printf("\n");
  }
  for (const auto& name : total_order) {
    std::printf("%-36s", ("time in " + name).c_str());
    for (std::size_t v = 0; v < variants.size(); ++v) {
      const auto found = totals[v].find(name);
      if (found == totals[v].end()) {
        std::printf(" %10s %7s", "", "");
      } else {
        std::printf(" %10.2f %7s", Median(found->second), "");
      }
    }
    std::printf("\n");
  }
  return 0;
}
