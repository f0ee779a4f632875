// Runs the main window's handlers against a simulated machine described in JSON, action by
// action, and prints what the user would see after each one (see FORMAT.md).
//
//   scenario_runner machine.json actions.json [--calls] [--requests]
//   scenario_runner scenario.json [--calls] [--requests]   (one object with "machine" and
//   "actions")
//
// Exit status: 0 when every action ran; 2 for unreadable or malformed input.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/sim/sim_machine.h"
#include "support/fake_view.h"
#include "support/notices.h"
#include "tools/scenario/disk_requests.h"
#include "tools/scenario/machine_json.h"
#include "tools/scenario/output_text.h"
#include "tools/scenario/utf8_text.h"
#include "ui/main_form.h"

namespace sb::scenario {
namespace {

using nlohmann::json;

class Runner {
 public:
  Runner(bool show_calls, bool show_requests)
      : show_calls_(show_calls), show_requests_(show_requests) {
    view_.on_process_messages = [this] { test::DeliverNotices(machine_, form_); };
    view_.on_select = [this] { form_.lvdisksSelectItem(); };
  }

  sim::SimMachine& machine() { return machine_; }

  // Throws InputError for actions that are not understood, before running them.
  void Check(const json& actions) {
    if (!actions.is_array()) throw InputError("actions: expected an array");
    for (std::size_t i = 0; i < actions.size(); ++i) Action(actions[i], i, false);
  }

  void Run(const json& actions) {
    machine_.ClearCalls();
    for (std::size_t i = 0; i < actions.size(); ++i) {
      std::cout << "> " << Describe(actions[i]) << "\n";
      Action(actions[i], i, true);
      test::DeliverNotices(machine_, form_);  // messages the machine left behind
      Print();
    }
    const auto open = machine_.OpenHandles();
    for (const auto& handle : open) std::cout << "open handle: " << handle << "\n";
  }

 private:
  // Checks one action and, when run is set, performs it.
  void Action(const json& action, std::size_t index, bool run) {
    const std::string where = "actions[" + std::to_string(index) + "]";
    if (!action.is_object() || !action.contains("do") || !action.at("do").is_string()) {
      throw InputError(where + ": expected an object with \"do\"");
    }
    const std::string verb = action.at("do").get<std::string>();
    auto only = [&](std::initializer_list<const char*> keys) {
      for (const auto& [key, unused] : action.items()) {
        bool known = key == "do";
        for (const char* name : keys) known = known || key == name;
        if (!known) throw InputError(where + ": unknown key \"" + key + "\"");
      }
    };
    auto text = [&](const char* key) {
      if (!action.contains(key) || !action.at(key).is_string()) {
        throw InputError(where + ": \"" + key + "\" must be a string");
      }
      return action.at(key).get<std::string>();
    };
    if (verb == "start") {
      only({});
      if (run) form_.FormShow();
    } else if (verb == "refresh") {
      only({});
      if (run) form_.Refresh1Click();
    } else if (verb == "select") {
      only({"row"});
      if (!action.contains("row") || !action.at("row").is_number_unsigned()) {
        throw InputError(where + ": \"row\" must be a row number");
      }
      const auto row = action.at("row").get<std::size_t>();
      if (run) {
        if (row >= view_.rows.size()) {
          throw InputError(where + ": row " + std::to_string(row) + " is not in the list");
        }
        view_.Select(row);
      }
    } else if (verb == "deselect") {
      only({});
      if (run) view_.selected.reset();
    } else if (verb == "press") {
      only({"button"});
      const std::string button = text("button");
      const CommandButton* pressed = FindCommandButton(button);
      if (pressed == nullptr) {
        throw InputError(where + ": unknown button \"" + button +
                         "\" (Offline, Online, Read-Only, Read-Write)");
      }
      if (run) (form_.*pressed->click)();
    } else if (verb == "double_click") {
      only({});
      if (run) form_.lvdisksDblClick();
    } else if (verb == "menu") {
      only({"item"});
      const std::string item = text("item");
      if (item != "properties" && item != "refresh") {
        throw InputError(where + ": unknown menu item \"" + item + "\" (properties, refresh)");
      }
      if (run && item == "properties") form_.ShowDiskPartInformations1Click();
      if (run && item == "refresh") form_.Refresh1Click();
    } else if (verb == "answer") {
      only({"box"});
      const std::string box = text("box");
      int answer = 0;
      if (box == "yes") answer = win::kIdYes;
      if (box == "no") answer = win::kIdNo;
      if (box == "ok") answer = win::kIdOk;
      if (answer == 0) throw InputError(where + ": unknown answer \"" + box + "\" (yes, no, ok)");
      if (run) view_.answers.push_back(answer);
    } else if (verb == "arrive") {
      only({"volume"});
      if (!action.contains("volume")) throw InputError(where + ": \"volume\" is missing");
      sim::Volume volume = LoadVolume(action.at("volume"), where + ".volume", machine_);
      if (run) machine_.ArriveVolume(std::move(volume));
    } else if (verb == "remove") {
      only({"guid"});
      const std::string guid = text("guid");
      if (run) machine_.RemoveVolume(guid);
    } else {
      throw InputError(where + ": unknown action \"" + verb + "\"");
    }
  }

  // What happened, in order, then the list and the status bar as they are now.
  void Print() {
    for (std::size_t i = printed_events_; i < view_.events.size(); ++i) {
      const std::string& event = view_.events[i];
      if (event.rfind("box: ", 0) == 0 && printed_boxes_ < view_.boxes.size()) {
        const auto& box = view_.boxes[printed_boxes_++];
        char type[16];
        std::snprintf(type, sizeof type, "0x%X", box.type);
        std::cout << "box [" << (box.owner == Dialogs::Owner::kMainWindow ? "main" : "none") << ", "
                  << (box.single_byte ? "single-byte" : "wide") << ", type " << type << "] "
                  << Escaped(box.caption) << ": " << Escaped(box.text) << "\n";
      } else if (event.rfind("properties: ", 0) == 0 &&
                 printed_windows_ < view_.properties.size()) {
        const auto& window = *view_.properties[printed_windows_++];
        std::cout << "properties: " << Escaped(window.caption) << "\n";
        for (const auto& line : window.lines) std::cout << "  | " << Escaped(line) << "\n";
      } else if (event == "process messages") {
        std::cout << "(pending messages run)\n";
      } else {
        std::cout << Escaped(event) << "\n";
      }
    }
    printed_events_ = view_.events.size();
    std::cout << "-- list\n";
    const auto texts = view_.RowTexts();
    for (std::size_t row = 0; row < texts.size(); ++row) {
      std::cout << (view_.selected == row ? "* " : "  ") << texts[row] << "\n";
    }
    std::cout << "-- status bar: " << Escaped(view_.status) << "\n";
    if (show_calls_) {
      // A call's texts are in the machine's code page, as the single-byte calls take them;
      // written in UTF-8, as the rest of the output is.
      for (const auto& call : machine_.calls()) {
        std::cout << "call " << Utf8(machine_.AnsiToWide(call.ToString())) << "\n";
      }
    }
    if (show_requests_) {
      for (const auto& line : requests_.Lines(machine_.calls())) std::cout << line << "\n";
    }
    machine_.ClearCalls();
    std::cout << "\n";
  }

  bool show_calls_;
  bool show_requests_;
  SimulatedDiskRequests requests_;
  sim::SimMachine machine_;
  test::FakeView view_;
  VolumeTable table_{};
  MainForm form_{machine_, view_, table_};
  std::size_t printed_events_ = 0;
  std::size_t printed_boxes_ = 0;
  std::size_t printed_windows_ = 0;
};

int Main(int argc, char** argv) {
  std::vector<std::string> files;
  bool show_calls = false;
  bool show_requests = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--calls") {
      show_calls = true;
    } else if (arg == "--requests") {
      show_requests = true;
    } else if (arg.rfind("--", 0) == 0) {
      throw InputError("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  json machine_description;
  json actions;
  if (files.size() == 1) {
    const json scenario = ReadScenarioFile(files[0]);
    if (!scenario.is_object() || !scenario.contains("machine") || !scenario.contains("actions")) {
      throw InputError(files[0] + ": expected an object with \"machine\" and \"actions\"");
    }
    machine_description = scenario.at("machine");
    actions = scenario.at("actions");
  } else if (files.size() == 2) {
    machine_description = ReadJsonFile(files[0]);
    actions = ReadJsonFile(files[1]);
  } else {
    throw InputError(
        "usage: scenario_runner machine.json actions.json [--calls] [--requests]\n"
        "       scenario_runner scenario.json [--calls] [--requests]");
  }
  Runner runner(show_calls, show_requests);
  LoadMachine(machine_description, runner.machine());
  runner.Check(actions);
  runner.Run(actions);
  return 0;
}

}  // namespace
}  // namespace sb::scenario

int main(int argc, char** argv) {
  try {
    return sb::scenario::Main(argc, argv);
  } catch (const sb::scenario::InputError& error) {
    std::cout.flush();
    std::cerr << "scenario_runner: " << error.what() << "\n";
    return 2;
  } catch (const nlohmann::json::exception& error) {
    std::cout.flush();
    std::cerr << "scenario_runner: malformed input: " << error.what() << "\n";
    return 2;
  }
}
