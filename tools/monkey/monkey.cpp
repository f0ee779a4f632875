#include "tools/monkey/monkey.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numeric>

#include "tools/boxes/window_class.h"
#include "tools/message_poster/message_poster_process.h"
#include "tools/monkey/input.h"
#include "tools/monkey/watchdog.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"
#include "ui/win32/window_util.h"

namespace sb::monkey {
namespace {

constexpr int kBatchSize = 100;
// Lines of the trail printed when a batch fails: enough for the last few events and all
// that the windows received meanwhile.
constexpr std::size_t kTrailLines = 1000;

std::string Field(const std::string& row, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) start = row.find('|', start) + 1;
  return row.substr(start, row.find('|', start) - start);
}

// Cuts a rectangle of the screen down to what the user sees of it in a window's client
// area; false when nothing is left. A control's or a row's rectangle reaches past the
// client area once the window is smaller than its controls or the list is scrolled, and a
// click there lands beside the window or on its frame: a double click on the main
// window's system menu icon closes it, as it would for a person.
bool Visible(RECT& rect, HWND window) {
  RECT client;
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return ::IntersectRect(&rect, &rect, &client) != FALSE;
}

}  // namespace

Monkey::Monkey(World& world, std::uint64_t seed)
    : world_(world),
      seed_(seed),
      random_(seed),
      application_(::GetModuleHandle(nullptr), world.platform(), table_) {
  world_.Attach(&application_.main_window());
}

Monkey::~Monkey() {
  world_.Attach(nullptr);
}

bool Monkey::Start() {
  if (!application_.Start(SW_SHOWNORMAL)) return false;
  main_ = application_.main_window().hwnd();
  list_ = ::GetDlgItem(main_, TfrmMain::kIdList);
  hidden_properties_ = frmproperties != nullptr ? frmproperties->hwnd() : nullptr;
  ::SetForegroundWindow(main_);
  Pump();
  for (const std::string& row : Rows()) names_[Field(row, 0)] = Field(row, 2);
  const std::vector<HWND> windows = WindowsAndChildren();
  start_windows_.insert(windows.begin(), windows.end());
  return true;
}

bool Monkey::Run(int events) {
  Trail trail(kTrailLines);
  trail_ = &trail;
  NameWindows();
  const std::string properties_class = TextToAscii(Tfrmproperties::kClassName);
  BoxAnswerer answerer(
      BoxPolicy{.answer = [this](const ShownBox& box) { return AnswerBox(box); },
                .record =
                    [this](const ShownBox& box, int answer) {
                      trail_->Add("    box answered " + std::to_string(answer) + ": " +
                                  trail_->Describe(box.window));
                    },
                .creating =
                    [this, &properties_class](HWND, const std::string& class_name) {
                      if (class_name == properties_class) ++properties_opened_;
                      return true;
                    }});
  const Watchdog watchdog(trail);
  const StallWatch stall(trail, progress_);
  for (int done = 0; done < events;) {
    const int batch = std::min(kBatchSize, events - done);
    for (int i = 0; i < batch; ++i) {
      event_ = done + i + 1;
      progress_ = event_;
      random_ = Random(seed_, static_cast<std::uint64_t>(event_));
      boxes_in_event_ = 0;
      Event();
      Pump();
      if (quit_) {
        std::printf("FAIL: the program ended during event %d\n", event_);
        trail.Print();
        return false;
      }
    }
    done += batch;
    if (!Check(done, answerer)) {
      trail.Print();
      return false;
    }
  }
  return true;
}

// One event of the mix: its kind is drawn first, from the event's own stream.
void Monkey::Event() {
  constexpr int kTotal =
      std::accumulate(std::begin(kEventKinds), std::end(kEventKinds), 0,
                      [](int sum, const EventKind& kind) { return sum + kind.weight; });
  static_assert(kTotal == 100, "the weights are shares of every 100 events");
  const int drawn = random_.Below(kTotal);
  if (::IsIconic(main_) && drawn < kRestoresWhileMinimized) {
    Note("the main window restored");
    Restore();
    return;
  }
  int below = 0;
  for (const EventKind& kind : kEventKinds) {
    below += kind.weight;
    if (drawn < below) {
      (this->*kind.run)();
      return;
    }
  }
}

void Monkey::ClickInMain() {
  ::SetForegroundWindow(main_);
  const POINT point = RandomPointInMain();
  Note("click at " + Where(point));
  Click(point, false, 1);
}

void Monkey::ClickAButton() {
  ::SetForegroundWindow(main_);
  const HWND button = ::GetDlgItem(::GetDlgItem(main_, TfrmMain::kIdPanel),
                                   TfrmMain::kIdButton2 + random_.Below(4));
  RECT rect;
  ::GetWindowRect(button, &rect);
  if (!Visible(rect, main_)) {
    Note(trail_->Describe(button) + " is out of sight: nothing clicked");
    return;
  }
  const POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  Note("click on " + trail_->Describe(button) + " at " + Where(point));
  Click(point, false, 1);
}

void Monkey::DoubleClickList() {
  ::SetForegroundWindow(main_);
  RECT rect;
  const int rows = ListView_GetItemCount(list_);
  if (rows > 0 && random_.Percent(70) &&
      ListView_GetItemRect(list_, random_.Below(rows), &rect, LVIR_BOUNDS)) {
    ::MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  } else {
    ::GetWindowRect(list_, &rect);
  }
  if (!Visible(rect, list_) || !Visible(rect, main_)) {
    Note("the row or the list is out of sight: nothing double-clicked");
    return;
  }
  const POINT point = RandomPointIn(rect);
  Note("double click on the list at " + Where(point));
  Click(point, false, 2);
}

void Monkey::RightClickAndMenu() {
  ::SetForegroundWindow(main_);
  const POINT point = RandomPointInMain();
  Note("right click at " + Where(point) + " and menu keys");
  Click(point, true, 1);
  MenuKeys();
}

void Monkey::PressAKey() {
  static constexpr WORD kKeys[] = {VK_TAB,   VK_TAB,    VK_UP,     VK_DOWN, VK_HOME, VK_END,
                                   VK_SPACE, VK_RETURN, VK_ESCAPE, VK_F10,  VK_APPS, VK_TAB};
  WORD key = kKeys[random_.Below(static_cast<int>(std::size(kKeys)))];
  // Elsewhere than in the list, F10 opens the system menu, whose Close would end the
  // program rather than test it.
  if (key == VK_F10 && ::GetFocus() != list_) key = VK_TAB;
  const bool shift = key == VK_F10 || (key == VK_TAB && random_.Percent(30));
  Note(std::string("key ") + (shift ? "Shift+" : "") + KeyName(key) + " to " +
       trail_->Describe(::GetFocus()));
  if (shift) {
    PressWithShift(key);
  } else {
    PressKey(key);
  }
  if (key == VK_F10 || key == VK_APPS) MenuKeys();
}

void Monkey::ClickInProperties() {
  const auto windows = PropertiesWindows();
  if (windows.empty()) return;
  const HWND window = windows[random_.Below(static_cast<int>(windows.size()))];
  ::SetForegroundWindow(window);
  RECT rect;
  ::GetWindowRect(window, &rect);
  const POINT point = RandomPointIn(rect);
  const bool right = random_.Percent(20);
  const int count = 1 + random_.Below(2);
  Note(std::string(count == 2 ? "double " : "") + (right ? "right " : "") + "click in " +
       trail_->Describe(window) + " at " + Where(point));
  Click(point, right, count);
}

void Monkey::CloseProperties() {
  const auto windows = PropertiesWindows();
  if (windows.empty()) return;
  const HWND window = windows[random_.Below(static_cast<int>(windows.size()))];
  Note("close " + trail_->Describe(window));
  ::PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Monkey::ResizeMain() {
  const int width = 150 + random_.Below(700);
  const int height = 100 + random_.Below(500);
  Note("the main window resized to " + std::to_string(width) + " by " + std::to_string(height));
  ::SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void Monkey::MinimizeMain() {
  Note("the main window minimized");
  // As its minimize box does: the Properties windows it owns are hidden with it.
  ::PostMessage(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void Monkey::PostDeviceChanges() {
  ++foreign_bursts_;
  const std::string command =
      "random " + std::to_string(random_.Word()) + " " + std::to_string(10 + random_.Below(20));
  Note("message_poster " + command);
  const int status = RunMessagePoster(main_, command);
  if (status != 0) {
    std::printf("FAIL: message_poster ended with %d (3: no answer, 4: window gone)\n", status);
    failed_ = true;
  }
}

void Monkey::NameWindows() {
  trail_->Name(main_, "the main window");
  trail_->Name(list_, "the list");
  const HWND panel = ::GetDlgItem(main_, TfrmMain::kIdPanel);
  trail_->Name(panel, "Panel1");
  trail_->Name(::GetDlgItem(main_, TfrmMain::kIdStatusBar), "StatusBar1");
  for (int i = 0; i < 4; ++i) {
    trail_->Name(::GetDlgItem(panel, TfrmMain::kIdButton2 + i), "Button" + std::to_string(2 + i));
  }
  if (hidden_properties_ != nullptr) trail_->Name(hidden_properties_, "the hidden Properties");
}

int Monkey::AnswerBox(const ShownBox& box) {
  std::vector<int> buttons;
  for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
    if (box.Has(id)) buttons.push_back(id);
  }
  if (buttons.empty()) buttons.push_back(IDCANCEL);
  // The boxes of an event are answered from a stream of their own.
  Random random(seed_, (std::uint64_t{1} << 63) | (static_cast<std::uint64_t>(event_) << 16) |
                           static_cast<std::uint64_t>(++boxes_in_event_));
  return buttons[random.Below(static_cast<int>(buttons.size()))];
}

// Where a point of the screen lands: the window under it and the part of its frame.
std::string Monkey::Where(POINT point) {
  const HWND window = ::WindowFromPoint(point);
  std::string where =
      std::to_string(point.x) + "," + std::to_string(point.y) + " on " + trail_->Describe(window);
  if (window != nullptr) {
    const LRESULT hit = ::SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    if (hit == HTSYSMENU) where += " (its system menu icon)";
    if (hit == HTCAPTION) where += " (its caption)";
    if (hit == HTCLOSE) where += " (its close box)";
    if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) where += " (its sizing border)";
  }
  return where;
}

void Monkey::Note(const std::string& what) {
  trail_->Add("event " + std::to_string(event_) + ": " + what);
}

// Lets every message run through the program's own dispatch until the queue stays empty.
void Monkey::Pump() {
  for (int idle = 0; idle < 2;) {
    MSG message;
    bool any = false;
    while (::PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      if (message.message == WM_QUIT) {
        quit_ = true;
        continue;
      }
      DispatchProgramMessage(message);
    }
    if (any) {
      idle = 0;
    } else {
      ++idle;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 3, QS_ALLINPUT);
    }
  }
}

std::vector<HWND> Monkey::PropertiesWindows() const {
  std::vector<HWND> windows;
  const std::string properties_class = TextToAscii(Tfrmproperties::kClassName);
  for (HWND window : ThreadWindows()) {
    if (window != hidden_properties_ && ClassOf(window) == properties_class &&
        ::IsWindowVisible(window)) {
      windows.push_back(window);
    }
  }
  return windows;
}

POINT Monkey::RandomPointIn(const RECT& rect) {
  return POINT{rect.left + random_.Below(std::max(1L, rect.right - rect.left)),
               rect.top + random_.Below(std::max(1L, rect.bottom - rect.top))};
}

// A point of the main window's client area, in screen coordinates: its frame holds the
// close box, which would end the program rather than test it.
POINT Monkey::RandomPointInMain() {
  RECT client;
  ::GetClientRect(main_, &client);
  POINT point = RandomPointIn(client);
  ::ClientToScreen(main_, &point);
  return point;
}

// As a person restores a minimized window, from the taskbar or its system menu. Windows
// shows again the owned windows that minimizing hid; under Wine only this path does
// (ShowWindow(SW_RESTORE) leaves them hidden).
void Monkey::Restore() {
  if (::IsIconic(main_)) ::PostMessage(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
}

// After a key or a click that may open the context menu: its items chosen by key.
void Monkey::MenuKeys() {
  const int downs = random_.Below(4);
  for (int i = downs; i > 0; --i) PressKey(VK_DOWN);
  const WORD last = random_.Percent(70) ? VK_RETURN : VK_ESCAPE;
  Note("menu keys: Down " + std::to_string(downs) + " times, " + KeyName(last));
  PressKey(last);
}

std::vector<std::string> Monkey::Rows() const {
  std::vector<std::string> rows;
  for (int row = 0; row < ListView_GetItemCount(list_); ++row) {
    std::string text;
    for (int column = 0; column < 5; ++column) {
      text += (column ? "|" : "") + TextToAscii(CellText(list_, row, column));
    }
    rows.push_back(text);
  }
  return rows;
}

bool Monkey::Check(int done, const BoxAnswerer& answerer) {
  Note("end of the batch: menus ended, Properties windows closed, a refresh");
  bool ok = !failed_;
  // Leave the batch as the user leaves the desk: menus closed, the main window restored
  // (which shows again the Properties windows its minimizing hid), Properties windows
  // closed. One that stays hidden is then left over, and the window count below finds it.
  ::EndMenu();
  Restore();
  Pump();
  for (HWND window : PropertiesWindows()) ::PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();

  DWORD_PTR answer = 0;
  if (!::IsWindow(main_) ||
      ::SendMessageTimeout(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) == 0) {
    std::printf("FAIL: the main window is gone or does not answer\n");
    return false;
  }
  const std::vector<HWND> windows = WindowsAndChildren();
  if (windows.size() != start_windows_.size()) {
    std::printf("FAIL: %zu windows and controls, %zu at the start\n", windows.size(),
                start_windows_.size());
    for (HWND window : windows) {
      if (start_windows_.count(window) != 0) continue;
      std::printf("  new: %s, class %s, \"%s\", %s, owner %s\n", trail_->Describe(window).c_str(),
                  ClassOf(window).c_str(), TextOf(window).c_str(),
                  ::IsWindowVisible(window) ? "visible" : "hidden",
                  trail_->Describe(::GetWindow(window, GW_OWNER)).c_str());
    }
    ok = false;
  }
  for (const std::string& leak : world_.Leaks()) {
    std::printf("FAIL: left open: %s\n", leak.c_str());
    ok = false;
  }
  ::SendMessage(main_, WM_COMMAND, TfrmMain::kIdRefresh1, 0);
  Pump();
  const std::vector<std::string> rows = Rows();
  const std::vector<std::string> expected = world_.ExpectedRows(names_);
  if (rows != expected) {
    std::printf("FAIL: the list does not show the machine's disks\n");
    for (const auto& row : rows) std::printf("  shown:    %s\n", row.c_str());
    for (const auto& row : expected) std::printf("  expected: %s\n", row.c_str());
    ok = false;
  }
  std::printf(
      "seed %llu: %d events, %d boxes answered, %d Properties windows, %d foreign bursts%s, "
      "%s\n",
      static_cast<unsigned long long>(seed_), done, answerer.answered(), properties_opened_,
      foreign_bursts_, world_.Summary().c_str(), ok ? "ok" : "FAILED");
  std::fflush(stdout);
  return ok;
}

}  // namespace sb::monkey
