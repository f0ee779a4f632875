#include "tools/window_runner/action_player.h"

#include <iostream>
#include <stdexcept>

#include "tools/scenario/disk_requests.h"
#include "tools/scenario/machine_json.h"
#include "tools/scenario/output_text.h"
#include "tools/testdisk/log_entry.h"
#include "tools/window_runner/screen_text.h"
#include "tools/window_runner/window_actions.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"

namespace sb::window_runner {
namespace {

using nlohmann::json;

constexpr UINT kTickMilliseconds = 10;

int ButtonId(const std::string& name) {
  const CommandButton* button = FindCommandButton(name);
  return button == nullptr ? 0 : TfrmMain::ButtonId(*button);
}

int Answer(const std::string& name) {
  if (name == "yes") return IDYES;
  if (name == "no") return IDNO;
  if (name == "ok") return IDOK;
  return 0;
}

std::string StringOf(const json& action, const char* key) {
  return action.contains(key) && action.at(key).is_string() ? action.at(key).get<std::string>()
                                                            : std::string();
}

// The checks the scenario runner makes, so that an action it refuses is not played here.
void Check(const json& actions) {
  if (!actions.is_array() || actions.empty() || !actions[0].is_object() ||
      StringOf(actions[0], "do") != "start") {
    throw scenario::InputError(
        "actions: the real window starts with its showing: "
        "the first action must be {\"do\":\"start\"}");
  }
  for (std::size_t i = 1; i < actions.size(); ++i) {
    const json& action = actions[i];
    const std::string where = "actions[" + std::to_string(i) + "]";
    const std::string verb = action.is_object() ? StringOf(action, "do") : "";
    const bool known =
        verb == "refresh" || verb == "deselect" || verb == "double_click" ||
        (verb == "select" && action.contains("row") && action.at("row").is_number_unsigned()) ||
        (verb == "press" && ButtonId(StringOf(action, "button")) != 0) ||
        (verb == "menu" &&
         (StringOf(action, "item") == "properties" || StringOf(action, "item") == "refresh")) ||
        (verb == "answer" && Answer(StringOf(action, "box")) != 0) ||
        (verb == "arrive" && action.contains("volume")) ||
        (verb == "remove" && action.contains("guid"));
    if (!known) throw scenario::InputError(where + ": not an action the runner can play");
  }
}

}  // namespace

ActionPlayer::ActionPlayer(const json& scenario, testdisk::ControlClient* driver,
                           const TfrmMain& main_window)
    : main_window_(main_window),
      actions_(scenario.at("actions")),
      driver_(driver),
      observer_(main_window) {
  Check(actions_);
  scenario::LoadMachine(scenario.at("machine"), volumes_);
  if (!observer_.installed()) throw scenario::InputError("the window hooks were refused");
}

void ActionPlayer::Start() {
  instance_ = this;
  std::cout << "> " << scenario::Describe(actions_[0]) << "\n";
  timer_ = ::SetTimer(nullptr, 0, kTickMilliseconds, OnTimer);
}

void ActionPlayer::Stop() {
  if (timer_ != 0) ::KillTimer(nullptr, timer_);
  timer_ = 0;
  if (instance_ == this) instance_ = nullptr;
}

void CALLBACK ActionPlayer::OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept {
  if (instance_ != nullptr) instance_->Tick();
}

// WM_TIMER comes only when no other message waits, so the action before has had every
// consequence it posted. A tick that comes while an action runs (inside a box or a command
// that lets pending messages run) waits for the next one.
void ActionPlayer::Tick() {
  const HWND main = main_window_.hwnd();
  if (busy_ || main == nullptr) return;
  busy_ = true;
  // A control that cannot be read whole ends the run with its reason: nothing is cut.
  try {
    PrintOutcome(main);
  } catch (const std::exception& failure) {
    error_ = std::string("reading the window: ") + failure.what();
  }
  if (!error_.empty() || next_ == actions_.size()) {
    Stop();
    ::PostMessage(main, WM_CLOSE, 0, 0);
  } else {
    const json& action = actions_[next_++];
    std::cout << "> " << scenario::Describe(action) << "\n";
    observer_.set_in_action(true);
    Perform(main, action);
    observer_.set_in_action(false);
    if (!error_.empty()) {
      Stop();
      ::PostMessage(main, WM_CLOSE, 0, 0);
    }
  }
  busy_ = false;
}

void ActionPlayer::Perform(HWND main, const json& action) {
  const std::string verb = StringOf(action, "do");
  if (verb == "refresh") {
    ChooseMenuItem(main, TfrmMain::kIdRefresh1);
  } else if (verb == "select") {
    const auto row = action.at("row").get<std::size_t>();
    if (!SelectRow(main, row)) error_ = "row " + std::to_string(row) + " is not in the list";
  } else if (verb == "deselect") {
    Deselect(main);
  } else if (verb == "press") {
    Press(main, ButtonId(StringOf(action, "button")));
  } else if (verb == "double_click") {
    DoubleClick(main);
  } else if (verb == "menu") {
    ChooseMenuItem(main, StringOf(action, "item") == "properties"
                             ? TfrmMain::kIdShowDiskPartInformations1
                             : TfrmMain::kIdRefresh1);
  } else if (verb == "answer") {
    observer_.QueueAnswer(Answer(StringOf(action, "box")));
  } else if (verb == "arrive") {
    volumes_.ArriveVolume(scenario::LoadVolume(action.at("volume"), "volume", volumes_));
    Broadcast(main);
  } else if (verb == "remove") {
    volumes_.RemoveVolume(StringOf(action, "guid"));
    Broadcast(main);
  }
}

// Windows' broadcasts for the volumes that came or went.
void ActionPlayer::Broadcast(HWND main) {
  for (const sim::Notice& notice : volumes_.TakeNotices()) {
    BroadcastVolume(main, notice.event, notice.unit_mask);
  }
}

void ActionPlayer::PrintOutcome(HWND main) {
  for (const WindowObserver::Event& event : observer_.TakeEvents()) {
    if (event.properties == nullptr) {
      std::cout << event.line << "\n";
      continue;
    }
    std::cout << "properties: " << scenario::Escaped(WindowText(event.properties)) << "\n";
    for (const std::string& line : PropertiesLines(event.properties)) {
      std::cout << "  | " << scenario::Escaped(line) << "\n";
    }
  }
  if (!observer_.error().empty()) throw std::runtime_error(observer_.error());
  std::cout << "-- list\n";
  const auto rows = ListRows(main);
  const auto selected = SelectedRow(main);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    std::cout << (selected == row ? "* " : "  ") << rows[row] << "\n";
  }
  std::cout << "-- status bar: " << scenario::Escaped(StatusBarText(main)) << "\n";
  PrintRequests();
  std::cout << "\n";
  std::cout.flush();
}

void ActionPlayer::PrintRequests() {
  if (driver_ == nullptr) return;
  std::vector<testdisk::LogEntry> entries;
  if (!driver_->ReadLog(entries, next_request_)) {
    std::cout << "request: the driver's log cannot be read: error " << driver_->error() << "\n";
    return;
  }
  for (const testdisk::LogEntry& entry : entries) {
    std::cout << scenario::RequestLine(entry.disk, entry.code, entry.input, entry.output_length,
                                       testdisk::ErrorOfStatus(entry.status))
              << "\n";
    next_request_ = entry.sequence + 1;
  }
}

}  // namespace sb::window_runner
