// window_runner: the scenario runner's actions played on the real main window. The program's
// own start (Application) makes TfrmMain over the real platform, the machine's disks 1 to
// 15 are the test disk driver's, and after each action the runner prints what the user sees
// in the scenario runner's format (tools/scenario/FORMAT.md, without --calls), so that the
// two outputs can be compared.
//
//   window_runner SCENARIO.json [--requests] [--wine-scenario OUT.json] [--wait]
//
//   --requests       after each action, the requests the driver's disks received, as
//                    scenario_runner --requests prints the simulated machine's
//   --wine-scenario  writes the scenario as this Wine shows it (wine_machine.h): the one the
//                    simulated machine runs to see what this window sees
//   --wait           waits out the commands' one-second pauses; by default each pause is
//                    noted and passes at once, as on the simulated machine's virtual clock
//
// The driver must be running in the prefix (bash scripts/disks start), and windows need a
// display. Exit status 0, or 2 with a message for input the runner cannot use, an action
// the list cannot take, or a driver that does not answer.
#include "platform/win32/win32_api.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/win32/win32_platform.h"
#include "tools/scenario/machine_json.h"
#include "tools/testdisk/control_client.h"
#include "tools/testdisk/disk_image.h"
#include "tools/window_runner/action_player.h"
#include "tools/window_runner/box_forms.h"
#include "tools/window_runner/marked_pause_platform.h"
#include "tools/window_runner/wine_machine.h"
#include "ui/win32/app.h"
#include "volumes/volume_table.h"

namespace sb::window_runner {
namespace {

using nlohmann::json;

struct Options {
  std::string scenario;
  std::string wine_scenario;
  bool requests = false;
  bool wait = false;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--requests") {
      options.requests = true;
    } else if (arg == "--wait") {
      options.wait = true;
    } else if (arg == "--wine-scenario" && i + 1 < argc) {
      options.wine_scenario = argv[++i];
    } else if (arg.rfind("--", 0) == 0 || !options.scenario.empty()) {
      throw scenario::InputError("unknown argument " + arg);
    } else {
      options.scenario = arg;
    }
  }
  if (options.scenario.empty()) {
    throw scenario::InputError(
        "usage: window_runner SCENARIO.json [--requests] [--wine-scenario OUT.json] [--wait]");
  }
  return options;
}

json ReadScenario(const std::string& path) {
  json document = scenario::ReadScenarioFile(path);
  if (!document.is_object() || !document.contains("machine") || !document.contains("actions")) {
    throw scenario::InputError(path + ": expected an object with \"machine\" and \"actions\"");
  }
  return document;
}

// Replaces the driver's disks with the machine's disks 1 to 15.
void LoadDriver(testdisk::ControlClient& driver, const json& machine_description) {
  if (!driver.is_open()) {
    throw scenario::InputError(
        "the test disk driver is not running in this prefix: bash scripts/disks start");
  }
  sim::SimMachine machine;
  scenario::LoadMachine(machine_description, machine);
  std::vector<std::string> notes;
  const Bytes image = testdisk::DescribeMachine(machine, notes);
  for (const std::string& note : notes) std::cerr << "window_runner: note: " << note << "\n";
  if (!driver.Reset()) {
    throw scenario::InputError("the driver refused a reset: error " +
                               std::to_string(driver.error()));
  }
  for (const Bytes& description : testdisk::SplitDescriptions(image)) {
    if (!driver.AddDisk(description)) {
      throw scenario::InputError("the driver refused a disk: error " +
                                 std::to_string(driver.error()));
    }
  }
}

int Main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  const json scenario = ReadScenario(options.scenario);
  Win32Platform real;
  const json seen_by_wine = AsWineShowsIt(scenario, real);
  if (!options.wine_scenario.empty()) {
    std::ofstream file(options.wine_scenario, std::ios::binary | std::ios::trunc);
    file << seen_by_wine.dump(2) << "\n";
    if (!file) throw scenario::InputError(options.wine_scenario + ": cannot be written");
  }

  testdisk::ControlClient driver;
  LoadDriver(driver, scenario.at("machine"));
  if (!RecordBoxForms()) throw scenario::InputError("the message box imports were not found");

  // The player's pauses are marked once it exists; the platform is made first, as the
  // program's windows are made over it.
  ActionPlayer* pausing = nullptr;
  MarkedPausePlatform platform(
      real,
      [&pausing] {
        if (pausing != nullptr) pausing->OnPause();
      },
      options.wait);
  Application application(::GetModuleHandle(nullptr), platform, VolumeList);
  ActionPlayer player(seen_by_wine, options.requests ? &driver : nullptr,
                      application.main_window());
  pausing = &player;
  if (!application.Start(SW_SHOWNORMAL)) {
    throw scenario::InputError("the main window could not be created");
  }
  player.Start();
  const int result = application.Run();
  player.Stop();
  std::cout.flush();
  if (!player.error().empty()) throw scenario::InputError(player.error());
  return result;
}

}  // namespace
}  // namespace sb::window_runner

int main(int argc, char** argv) {
  // Lines end as the scenario runner's do, with a line feed alone.
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    return sb::window_runner::Main(argc, argv);
  } catch (const sb::scenario::InputError& error) {
    std::cout.flush();
    std::cerr << "window_runner: " << error.what() << "\n";
    return 2;
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "window_runner: " << error.what() << "\n";
    return 2;
  }
}
