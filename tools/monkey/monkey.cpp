// The monkey: seeded random user events on the real windows of the program, with device
// changes from another process in between.
//
//   sb_monkey EVENTS [SEED]           over the demo's simulated machine
//   sb_monkey EVENTS SEED --disks     over the real platform, the demo's disks 1 to 15 given
//                                     to the test disk driver (bash scripts/disks start), so
//                                     that the commands really change disks
//
// Events: clicks anywhere in the main window and the Properties windows, double clicks,
// right clicks, keys (Tab, Shift+Tab, arrows, Home, End, Space, Enter, Esc, Shift+F10, the
// menu key) with the context menu's items chosen by key, resizing, minimizing and restoring,
// Properties windows closed, and bursts of WM_DEVICECHANGE sent and posted by
// message_poster. Every message box is answered at random as it appears. Input goes
// through SendInput, so it takes Windows' own path (focus, capture, hit testing).
//
// After every batch of events: the main window is there and answers, the windows of the
// program and the platform handles are as many as before, and after a refresh the list
// shows exactly the disks of the machine, in their current state.
//
// The same seed gives the same events. Exit status 0 when every batch held.
#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include "platform/records.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_view.h"
#include "tools/boxes/box_answerer.h"
#include "tools/demo/demo_machine.h"
#include "tools/demo/notice_delivery.h"
#include "tools/monkey/trail.h"
#include "tools/soak/counting_platform.h"
#include "tools/testdisk/control_client.h"
#include "tools/testdisk/disk_image.h"
#include "ui/win32/app.h"
#include "ui/win32/ui_handles.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"
#include "ui/win32/window_util.h"
#include "volumes/volume_table.h"
#include "win32/message_poster_process.h"

namespace sb {
namespace {

constexpr int kBatchSize = 100;
// Lines of the trail printed when a batch fails: enough for the last few events and all
// that the windows received meanwhile.
constexpr std::size_t kTrailLines = 1000;

// The random choices of one event (or of one box) come from a generator of their own,
// made from the seed and the event's number alone: how many choices earlier events made,
// which depends on the windows' state, cannot shift the events that follow.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  Random(std::uint64_t seed, std::uint64_t stream) : engine_(Mix(seed ^ Mix(stream))) {}
  int Below(int count) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(count)); }
  bool Percent(int percent) { return Below(100) < percent; }
  std::uint32_t Word() { return static_cast<std::uint32_t>(engine_()); }

 private:
  // SplitMix64's finalizer: nearby inputs give unrelated outputs.
  static std::uint64_t Mix(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
  }

  std::mt19937_64 engine_;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

// An enumeration's callback (stdcall, which a lambda is not in a 32-bit program).
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string TextOf(HWND window) {
  char text[128] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

// The thread's windows and their controls.
std::vector<HWND> WindowsAndChildren() {
  std::vector<HWND> windows;
  for (HWND window : ThreadWindows()) {
    windows.push_back(window);
    ::EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  }
  return windows;
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (const auto& [key, up] : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

const char* KeyName(WORD key) {
  switch (key) {
    case VK_TAB:
      return "Tab";
    case VK_UP:
      return "Up";
    case VK_DOWN:
      return "Down";
    case VK_HOME:
      return "Home";
    case VK_END:
      return "End";
    case VK_SPACE:
      return "Space";
    case VK_RETURN:
      return "Enter";
    case VK_ESCAPE:
      return "Esc";
    case VK_F10:
      return "F10";
    case VK_APPS:
      return "the menu key";
    default:
      return "?";
  }
}

void PressKey(WORD key) {
  SendKeys({{key, false}, {key, true}});
}

void PressWithShift(WORD key) {
  SendKeys({{VK_SHIFT, false}, {key, false}, {key, true}, {VK_SHIFT, true}});
}

// Clicks at a point of the screen. The first click of an event never joins the last click
// of the event before into a double click: that would depend on how long the events took.
void Click(POINT screen, bool right, int count) {
  static POINT last_point = {-1000, -1000};
  static bool last_right = false;
  static DWORD last_time = 0;
  if (right == last_right &&
      std::abs(screen.x - last_point.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(screen.y - last_point.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK)) {
    const DWORD wait = ::GetDoubleClickTime() + 50;
    const DWORD elapsed = ::GetTickCount() - last_time;
    if (elapsed < wait) ::Sleep(wait - elapsed);
  }
  ::SetCursorPos(screen.x, screen.y);
  std::vector<INPUT> inputs;
  for (int i = 0; i < count; ++i) {
    for (DWORD flag : {right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN,
                       right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP}) {
      INPUT input = {};
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = flag;
      inputs.push_back(input);
    }
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  last_point = screen;
  last_right = right;
  last_time = ::GetTickCount();
}

// Ends a menu, a keyboard move or size, or a box that input left open, so that a lost key
// cannot hang the run. Its timer is seen only by a message loop with nothing else to do, and
// it acts only on what is open then: from the monkey's own loop, or from a command's, it
// does nothing, so it cannot change what the events do.
class Watchdog {
 public:
  explicit Watchdog(monkey::Trail& trail)
      : timer_(::SetTimer(nullptr, 0, 1000, Fire)),
        hook_(::SetWindowsHookEx(WH_CALLWNDPROC, OnSent, nullptr, ::GetCurrentThreadId())) {
    trail_ = &trail;
  }
  ~Watchdog() {
    ::KillTimer(nullptr, timer_);
    trail_ = nullptr;
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  // Windows tells a window when its move or size loop starts and ends (a move chosen from
  // the system menu by keys waits for keys that will not come).
  static LRESULT CALLBACK OnSent(int code, WPARAM wparam, LPARAM lparam) noexcept {
    if (code == HC_ACTION) {
      const UINT message = reinterpret_cast<const CWPSTRUCT*>(lparam)->message;
      if (message == WM_ENTERSIZEMOVE) ++size_move_loops_;
      if (message == WM_EXITSIZEMOVE && size_move_loops_ > 0) --size_move_loops_;
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
  }

  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    ::GetGUIThreadInfo(::GetCurrentThreadId(), &thread);
    if (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) {
      Note("a menu left open: ended");
    }
    ::EndMenu();  // nothing when no menu is open
    if (size_move_loops_ > 0 || (thread.flags & GUI_INMOVESIZE)) {
      Note("a move or size left open: Esc");
      PressKey(VK_ESCAPE);
    }
    for (HWND window : ThreadWindows()) {
      if (ClassOf(window) == "#32770") {
        Note("a box left open: Cancel");
        ::PostMessage(window, WM_COMMAND, IDCANCEL, 0);
      }
    }
  }
  static void Note(const char* what) {
    if (trail_ != nullptr) trail_->Add(std::string("  watchdog: ") + what);
  }

  static inline monkey::Trail* trail_ = nullptr;
  static inline int size_move_loops_ = 0;
  UINT_PTR timer_;
  UniqueHook hook_;
};

// Fails the run when the windows' thread makes no progress for two minutes: it is stuck in a
// loop that the watchdog cannot end. Prints what the thread is in and the trail, from a
// thread of its own, and ends the process.
class StallWatch {
 public:
  StallWatch(monkey::Trail& trail, const std::atomic<int>& progress)
      : trail_(trail),
        progress_(progress),
        thread_id_(::GetCurrentThreadId()),
        thread_([this] { Watch(); }) {}
  ~StallWatch() {
    stop_ = true;
    thread_.join();
  }
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;

 private:
  void Watch() {
    int seen = progress_;
    int still = 0;
    while (!stop_) {
      ::Sleep(250);
      if (progress_ != seen) {
        seen = progress_;
        still = 0;
      } else if (++still == kStallSeconds * 4) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(thread_id_, &info);
        std::printf(
            "FAIL: no progress for %d seconds at event %d; the windows' thread: flags 0x%lx, "
            "active %s, focus %s, capture %s, menu owner %s, moving or sizing %s\n",
            kStallSeconds, seen, static_cast<unsigned long>(info.flags),
            ClassOf(info.hwndActive).c_str(), ClassOf(info.hwndFocus).c_str(),
            ClassOf(info.hwndCapture).c_str(), ClassOf(info.hwndMenuOwner).c_str(),
            ClassOf(info.hwndMoveSize).c_str());
        trail_.Print();
        std::fflush(stdout);
        ::ExitProcess(1);
      }
    }
  }

  static constexpr int kStallSeconds = 120;
  monkey::Trail& trail_;
  const std::atomic<int>& progress_;
  DWORD thread_id_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

// The state words as the list shows them.
std::string StateText(std::uint64_t word) {
  if ((word & ~std::uint64_t{3}) != 0 && (word & 3) == 0) return "";
  return std::string(word & 1 ? "Offline" : "Online") + (word & 2 ? " Read-Only " : " Read-Write ");
}

std::string Row(std::uint32_t number, const std::map<std::string, std::string>& names,
                std::int64_t length, const std::string& state) {
  const std::string caption = std::to_string(number);
  const auto name = names.find(caption);
  return caption + "|DISK|" + (name == names.end() ? "?" : name->second) + "|" +
         std::to_string(length / 1048576) + "|" + state;
}

// What the program runs over, and what its list must show for it now.
class World {
 public:
  virtual ~World() = default;
  virtual Platform& platform() = 0;
  // Every disk that opens, in number order, with its name (which never changes), size and
  // state, read without the program's own routines.
  virtual std::vector<std::string> ExpectedRows(
      const std::map<std::string, std::string>& names) = 0;
  // Descriptions of what the program left open or closed twice.
  virtual std::vector<std::string> Leaks() = 0;
  // What the disks went through, for the batch's line.
  virtual std::string Summary() { return ""; }
  // The main window that the world's own notices go to, if it raises any, or nullptr.
  virtual void Attach(const TfrmMain* /*main_window*/) {}
};

// The demo's simulated machine; its volume notices reach the window through the queue.
class DemoWorld final : public World {
 public:
  DemoWorld() : notices_(::GetModuleHandle(nullptr), L"SpindlebayMonkeyNotices") {
    demo::BuildDemoMachine(machine_);
    machine_.set_notice_window(notices_.hwnd());
  }
  Platform& platform() override { return machine_; }
  void Attach(const TfrmMain* main_window) override { notices_.set_target(main_window); }
  std::vector<std::string> ExpectedRows(const std::map<std::string, std::string>& names) override {
    std::vector<std::string> rows;
    for (std::uint32_t number = 0; number < 16; ++number) {
      const sim::Disk* disk = machine_.disk(number);
      if (disk == nullptr || disk->open_error != 0) continue;
      rows.push_back(Row(number, names, disk->answers_length ? disk->length : 0,
                         disk->answers_attributes ? StateText(disk->attributes) : ""));
    }
    return rows;
  }
  std::vector<std::string> Leaks() override {
    std::vector<std::string> leaks = machine_.OpenHandles();
    if (machine_.bad_closes() != 0) leaks.push_back("handles closed that were not open");
    return leaks;
  }

 private:
  demo::NoticePostingMachine machine_;
  demo::NoticeWindow notices_;
};

// The real platform over the test disk driver's disks: the demo machine's disks 1 to 15
// (disk 0 is Wine's own).
class DriverWorld final : public World {
 public:
  bool Load() {
    if (!control_.is_open() || !control_.Reset()) return false;
    sim::SimMachine machine;
    demo::BuildDemoMachine(machine);
    std::vector<std::string> warnings;
    for (std::uint32_t number = 1; number < 16; ++number) {
      const sim::Disk* disk = machine.disk(number);
      if (disk != nullptr && !control_.AddDisk(testdisk::DescribeDisk(number, *disk, warnings))) {
        return false;
      }
    }
    return true;
  }
  Platform& platform() override { return platform_; }
  std::vector<std::string> ExpectedRows(const std::map<std::string, std::string>& names) override {
    std::vector<std::string> rows;
    for (std::uint32_t number = 0; number < 16; ++number) {
      const std::wstring path = L"\\\\.\\PhysicalDrive" + std::to_wstring(number);
      const HANDLE disk =
          ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
      if (disk == INVALID_HANDLE_VALUE) continue;
      std::int64_t length = 0;
      std::uint8_t attributes[rec::kGetDiskAttributesSize] = {};
      DWORD bytes = 0;
      if (!::DeviceIoControl(disk, ioctl::kDiskGetLengthInfo, nullptr, 0, &length, sizeof length,
                             &bytes, nullptr)) {
        length = 0;
      }
      const bool state_read =
          ::DeviceIoControl(disk, ioctl::kDiskGetDiskAttributes, nullptr, 0, attributes,
                            sizeof attributes, &bytes, nullptr) != FALSE;
      ::CloseHandle(disk);
      const std::uint64_t word = ByteReader(ConstBytes(attributes, sizeof attributes))
                                     .U64(rec::kGetDiskAttributesAttributes);
      rows.push_back(Row(number, names, length, state_read ? StateText(word) : ""));
    }
    return rows;
  }
  std::string Summary() override {
    return ", " + std::to_string(platform_.changes()) + " attribute changes accepted";
  }
  std::vector<std::string> Leaks() override {
    if (platform_.open() == 0) return {};
    return {std::to_string(platform_.open()) + " device or enumeration handles"};
  }

 private:
  testdisk::ControlClient control_;
  Win32Platform real_;
  CountingPlatform platform_{real_};
};

class Monkey {
 public:
  Monkey(World& world, std::uint64_t seed)
      : world_(world),
        seed_(seed),
        random_(seed),
        application_(::GetModuleHandle(nullptr), world.platform(), table_) {
    world_.Attach(&application_.main_window());
  }
  ~Monkey() { world_.Attach(nullptr); }
  Monkey(const Monkey&) = delete;
  Monkey& operator=(const Monkey&) = delete;

  bool Start() {
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

  // Runs the events in batches; false at the first batch that does not hold.
  bool Run(int events) {
    monkey::Trail trail(kTrailLines);
    trail_ = &trail;
    NameWindows();
    BoxAnswerer answerer(BoxPolicy{.answer = [this](const ShownBox& box) { return AnswerBox(box); },
                                   .record =
                                       [this](const ShownBox& box, int answer) {
                                         trail_->Add("    box answered " + std::to_string(answer) +
                                                     ": " + trail_->Describe(box.window));
                                       },
                                   .creating =
                                       [this](HWND, const std::string& class_name) {
                                         if (class_name == "Tfrmproperties") ++properties_opened_;
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

 private:
  void NameWindows() {
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

  int AnswerBox(const ShownBox& box) {
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
  std::string Where(POINT point) {
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

  void Note(const std::string& what) {
    trail_->Add("event " + std::to_string(event_) + ": " + what);
  }

  // Lets every message run through the program's own dispatch until the queue stays empty.
  void Pump() {
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

  std::vector<HWND> PropertiesWindows() const {
    std::vector<HWND> windows;
    for (HWND window : ThreadWindows()) {
      if (window != hidden_properties_ && ClassOf(window) == "Tfrmproperties" &&
          ::IsWindowVisible(window)) {
        windows.push_back(window);
      }
    }
    return windows;
  }

  POINT RandomPointIn(const RECT& rect) {
    return POINT{rect.left + random_.Below(std::max(1L, rect.right - rect.left)),
                 rect.top + random_.Below(std::max(1L, rect.bottom - rect.top))};
  }

  // A point of the main window's client area, in screen coordinates: its frame holds the
  // close box, which would end the program rather than test it.
  POINT RandomPointInMain() {
    RECT client;
    ::GetClientRect(main_, &client);
    POINT point = RandomPointIn(client);
    ::ClientToScreen(main_, &point);
    return point;
  }

  // Cuts a rectangle of the screen down to what the user sees of it in a window's client
  // area; false when nothing is left. A control's or a row's rectangle reaches past the
  // client area once the window is smaller than its controls or the list is scrolled, and a
  // click there lands beside the window or on its frame: a double click on the main
  // window's system menu icon closes it, as it would for a person.
  static bool Visible(RECT& rect, HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ::IntersectRect(&rect, &rect, &client) != FALSE;
  }

  // As a person restores a minimized window, from the taskbar or its system menu. Windows
  // shows again the owned windows that minimizing hid; under Wine only this path does
  // (ShowWindow(SW_RESTORE) leaves them hidden).
  void Restore() {
    if (::IsIconic(main_)) ::PostMessage(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
  }

  // After a key or a click that may open the context menu: its items chosen by key.
  void MenuKeys() {
    const int downs = random_.Below(4);
    for (int i = downs; i > 0; --i) PressKey(VK_DOWN);
    const WORD last = random_.Percent(70) ? VK_RETURN : VK_ESCAPE;
    Note("menu keys: Down " + std::to_string(downs) + " times, " + KeyName(last));
    PressKey(last);
  }

  void Event() {
    const int kind = random_.Below(100);
    if (::IsIconic(main_) && kind < 80) {
      Note("the main window restored");
      Restore();
      return;
    }
    if (kind < 20) {  // a click anywhere in the main window
      ::SetForegroundWindow(main_);
      const POINT point = RandomPointInMain();
      Note("click at " + Where(point));
      Click(point, false, 1);
    } else if (kind < 30) {  // one of the four buttons
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
    } else if (kind < 38) {  // a double click on the list
      ::SetForegroundWindow(main_);
      // Mostly on a row, sometimes on the list's empty part.
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
    } else if (kind < 45) {  // a right click, and an item of the menu
      ::SetForegroundWindow(main_);
      const POINT point = RandomPointInMain();
      Note("right click at " + Where(point) + " and menu keys");
      Click(point, true, 1);
      MenuKeys();
    } else if (kind < 75) {  // a key
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
    } else if (kind < 82) {  // a click in a Properties window, its frame and close box too
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
    } else if (kind < 87) {  // a Properties window closed
      const auto windows = PropertiesWindows();
      if (windows.empty()) return;
      const HWND window = windows[random_.Below(static_cast<int>(windows.size()))];
      Note("close " + trail_->Describe(window));
      ::PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (kind < 92) {  // the main window resized
      const int width = 150 + random_.Below(700);
      const int height = 100 + random_.Below(500);
      Note("the main window resized to " + std::to_string(width) + " by " + std::to_string(height));
      ::SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    } else if (kind < 95) {  // minimized (restored by a later event)
      Note("the main window minimized");
      // As its minimize box does: the Properties windows it owns are hidden with it.
      ::PostMessage(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else {  // device changes from another process
      ++foreign_bursts_;
      const std::string command =
          "random " + std::to_string(random_.Word()) + " " + std::to_string(10 + random_.Below(20));
      Note("message_poster " + command);
      const int status = test::RunMessagePoster(main_, command);
      if (status != 0) {
        std::printf("FAIL: message_poster ended with %d (3: no answer, 4: window gone)\n", status);
        failed_ = true;
      }
    }
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int row = 0; row < ListView_GetItemCount(list_); ++row) {
      std::string text;
      for (int column = 0; column < 5; ++column) {
        text += (column ? "|" : "") + test::A(CellText(list_, row, column));
      }
      rows.push_back(text);
    }
    return rows;
  }

  static std::string Field(const std::string& row, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = row.find('|', start) + 1;
    return row.substr(start, row.find('|', start) - start);
  }

  bool Check(int done, const BoxAnswerer& answerer) {
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

  World& world_;
  std::uint64_t seed_;
  Random random_;
  VolumeTable table_;
  Application application_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND hidden_properties_ = nullptr;
  std::map<std::string, std::string> names_;
  std::set<HWND> start_windows_;
  int foreign_bursts_ = 0;
  int properties_opened_ = 0;
  int event_ = 0;
  std::atomic<int> progress_ = 0;
  int boxes_in_event_ = 0;
  monkey::Trail* trail_ = nullptr;
  bool quit_ = false;
  bool failed_ = false;
};

}  // namespace
}  // namespace sb

int main(int argc, char** argv) {
  const int events = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 1;
  const bool disks = argc > 3 && std::string(argv[3]) == "--disks";
  std::printf("monkey: %d events, seed %llu, over %s\n", events,
              static_cast<unsigned long long>(seed),
              disks ? "the test disk driver's disks" : "the demo machine");
  std::unique_ptr<sb::World> world;
  if (disks) {
    auto driver = std::make_unique<sb::DriverWorld>();
    if (!driver->Load()) {
      std::printf("FAIL: the test disk driver does not run here: bash scripts/disks start\n");
      return 1;
    }
    world = std::move(driver);
  } else {
    world = std::make_unique<sb::DemoWorld>();
  }
  sb::Monkey monkey(*world, seed);
  if (!monkey.Start()) {
    std::printf("FAIL: the program could not start\n");
    return 1;
  }
  return monkey.Run(events) ? 0 : 1;
}
