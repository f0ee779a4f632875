// The monkey: seeded random user events on the real windows of the program, over the demo's
// simulated machine, with device changes from another process in between.
//
//   sb_monkey EVENTS [SEED]
//
// Events: clicks anywhere in the main window and the Properties windows, double clicks,
// right clicks, keys (Tab, Shift+Tab, arrows, Home, End, Space, Enter, Esc, Shift+F10, the
// menu key) with the context menu's items chosen by key, resizing, minimizing and restoring,
// Properties windows closed, and bursts of WM_DEVICECHANGE sent and posted by
// message_poster. Every message box is answered at random as it appears. Input goes
// through SendInput, so it takes the system's own path (focus, capture, hit testing).
//
// After every batch of events: the main window is there and answers, the windows of the
// program and the platform handles are as many as before, and after a refresh the list
// shows exactly the disks of the machine, in their current state.
//
// The same seed gives the same events. Exit status 0 when every batch held.
#include "platform/win32/win32_api.h"
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/fake_view.h"
#include "tools/demo/demo_machine.h"
#include "tools/demo/notice_delivery.h"
#include "ui/win32/app.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"
#include "volumes/volume_table.h"
#include "win32/message_poster_process.h"

namespace sb {
namespace {

constexpr int kBatchSize = 100;

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  int Below(int count) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(count)); }
  bool Percent(int percent) { return Below(100) < percent; }
  std::uint32_t Word() { return static_cast<std::uint32_t>(engine_()); }

 private:
  std::mt19937_64 engine_;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

int CountWindowsAndChildren() {
  int count = 0;
  for (HWND window : ThreadWindows()) {
    ++count;
    ::EnumChildWindows(
        window, [](HWND, LPARAM counter) { return ++*reinterpret_cast<int*>(counter), TRUE; },
        reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// Answers every message box of this thread at random, as soon as it is shown.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(Random& random)
      : random_(random), hook_(::SetWindowsHookEx(WH_CBT, Hook, nullptr, ::GetCurrentThreadId())) {
    instance_ = this;
  }
  ~BoxAnswerer() {
    ::UnhookWindowsHookEx(hook_);
    instance_ = nullptr;
  }
  int answered() const { return answered_; }
  int properties_opened() const { return properties_opened_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (instance_ != nullptr) {
      const HWND window = reinterpret_cast<HWND>(wparam);
      if (code == HCBT_ACTIVATE && ClassOf(window) == "#32770") instance_->Answer(window);
      if (code == HCBT_CREATEWND && ClassOf(window) == "Tfrmproperties") {
        ++instance_->properties_opened_;
      }
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
  }

  void Answer(HWND box) {
    std::vector<int> buttons;
    for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
      if (::GetDlgItem(box, id) != nullptr) buttons.push_back(id);
    }
    if (buttons.empty()) buttons.push_back(IDCANCEL);
    ::PostMessage(box, WM_COMMAND, buttons[random_.Below(static_cast<int>(buttons.size()))], 0);
    ++answered_;
  }

  static inline BoxAnswerer* instance_ = nullptr;
  Random& random_;
  HHOOK hook_;
  int answered_ = 0;
  int properties_opened_ = 0;
};

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

void PressKey(WORD key) {
  SendKeys({{key, false}, {key, true}});
}

void PressWithShift(WORD key) {
  SendKeys({{VK_SHIFT, false}, {key, false}, {key, true}, {VK_SHIFT, true}});
}

void Click(POINT screen, bool right, int count) {
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
}

// Ends a menu or a box that input left open, so that a lost key cannot hang the run. It
// fires only when the thread has waited a second in a modal loop with nothing to do.
class Watchdog {
 public:
  Watchdog() : timer_(::SetTimer(nullptr, 0, 1000, Fire)) {}
  ~Watchdog() { ::KillTimer(nullptr, timer_); }

 private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
    ::EndMenu();
    PressKey(VK_ESCAPE);  // a keyboard move or size of a window
    for (HWND window : ThreadWindows()) {
      if (ClassOf(window) == "#32770") ::PostMessage(window, WM_COMMAND, IDCANCEL, 0);
    }
  }
  UINT_PTR timer_;
};

// The rows the list must show for the machine as it is now: every disk that opens, in
// number order, with its name (which never changes), size and state.
std::vector<std::string> ExpectedRows(sim::SimMachine& machine,
                                      const std::map<std::string, std::string>& names) {
  std::vector<std::string> rows;
  for (std::uint32_t number = 0; number < 16; ++number) {
    sim::Disk* disk = machine.disk(number);
    if (disk == nullptr || disk->open_error != 0) continue;
    const std::string caption = std::to_string(number);
    std::string state;
    if (disk->answers_attributes) {
      const bool offline = disk->attributes & 1;
      const bool read_only = disk->attributes & 2;
      if ((disk->attributes & ~std::uint64_t{3}) == 0 || offline || read_only) {
        state = std::string(offline ? "Offline" : "Online") +
                (read_only ? " Read-Only " : " Read-Write ");
      }
    }
    const std::int64_t megabytes = disk->answers_length ? disk->length / 1048576 : 0;
    const auto name = names.find(caption);
    rows.push_back(caption + "|DISK|" + (name == names.end() ? "?" : name->second) + "|" +
                   std::to_string(megabytes) + "|" + state);
  }
  return rows;
}

class Monkey {
 public:
  Monkey(std::uint64_t seed)
      : seed_(seed),
        random_(seed),
        notices_(::GetModuleHandle(nullptr), L"SpindlebayMonkeyNotices"),
        application_(::GetModuleHandle(nullptr), machine_, table_) {
    demo::BuildDemoMachine(machine_);
    machine_.set_notice_window(notices_.hwnd());
  }

  bool Start() {
    if (!application_.Start(SW_SHOWNORMAL)) return false;
    main_ = application_.main_window().hwnd();
    list_ = ::GetDlgItem(main_, TfrmMain::kIdList);
    hidden_properties_ = frmproperties != nullptr ? frmproperties->hwnd() : nullptr;
    ::SetForegroundWindow(main_);
    Pump();
    for (const std::string& row : Rows()) names_[Field(row, 0)] = Field(row, 2);
    windows_ = CountWindowsAndChildren();
    return true;
  }

  // Runs the events in batches; false at the first batch that does not hold.
  bool Run(int events) {
    BoxAnswerer answerer(random_);
    const Watchdog watchdog;
    for (int done = 0; done < events;) {
      const int batch = std::min(kBatchSize, events - done);
      for (int i = 0; i < batch; ++i) {
        Event();
        Pump();
        if (quit_) {
          std::printf("FAIL: the program ended during event %d\n", done + i + 1);
          return false;
        }
      }
      done += batch;
      if (!Check(done, answerer)) return false;
    }
    return true;
  }

 private:
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

  // After a key or a click that may open the context menu: its items chosen by key.
  void MenuKeys() {
    for (int i = random_.Below(4); i > 0; --i) PressKey(VK_DOWN);
    PressKey(random_.Percent(70) ? VK_RETURN : VK_ESCAPE);
  }

  void Event() {
    const int kind = random_.Below(100);
    if (::IsIconic(main_) && kind < 80) {
      ::ShowWindow(main_, SW_RESTORE);
      return;
    }
    if (kind < 20) {  // a click anywhere in the main window
      ::SetForegroundWindow(main_);
      Click(RandomPointInMain(), false, 1);
    } else if (kind < 30) {  // one of the four buttons
      ::SetForegroundWindow(main_);
      const HWND button = ::GetDlgItem(::GetDlgItem(main_, TfrmMain::kIdPanel),
                                       TfrmMain::kIdButton2 + random_.Below(4));
      RECT rect;
      ::GetWindowRect(button, &rect);
      Click(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, false, 1);
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
      Click(RandomPointIn(rect), false, 2);
    } else if (kind < 45) {  // a right click, and an item of the menu
      ::SetForegroundWindow(main_);
      Click(RandomPointInMain(), true, 1);
      MenuKeys();
    } else if (kind < 75) {  // a key
      static constexpr WORD kKeys[] = {VK_TAB,   VK_TAB,    VK_UP,     VK_DOWN, VK_HOME, VK_END,
                                       VK_SPACE, VK_RETURN, VK_ESCAPE, VK_F10,  VK_APPS, VK_TAB};
      WORD key = kKeys[random_.Below(static_cast<int>(std::size(kKeys)))];
      // Elsewhere than in the list, F10 opens the system menu, whose Close would end the
      // program rather than test it.
      if (key == VK_F10 && ::GetFocus() != list_) key = VK_TAB;
      if (key == VK_F10 || (key == VK_TAB && random_.Percent(30))) {
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
      Click(RandomPointIn(rect), random_.Percent(20), 1 + random_.Below(2));
    } else if (kind < 87) {  // a Properties window closed
      const auto windows = PropertiesWindows();
      if (windows.empty()) return;
      ::PostMessage(windows[random_.Below(static_cast<int>(windows.size()))], WM_SYSCOMMAND,
                    SC_CLOSE, 0);
    } else if (kind < 92) {  // the main window resized
      ::SetWindowPos(main_, nullptr, 0, 0, 150 + random_.Below(700), 100 + random_.Below(500),
                     SWP_NOMOVE | SWP_NOZORDER);
    } else if (kind < 95) {  // minimized (restored by a later event)
      ::ShowWindow(main_, SW_MINIMIZE);
    } else {  // device changes from another process
      ++foreign_bursts_;
      const int status =
          test::RunMessagePoster(main_, "random " + std::to_string(random_.Word()) + " " +
                                            std::to_string(10 + random_.Below(20)));
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
        TCHAR buffer[256] = {};
        ListView_GetItemText(list_, row, column, buffer, 256);
        text += (column ? "|" : "") + test::A(buffer);
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
    bool ok = !failed_;
    // Leave the batch as the user leaves the desk: menus closed, Properties windows closed,
    // the main window restored.
    ::EndMenu();
    for (HWND window : PropertiesWindows()) ::PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::ShowWindow(main_, SW_RESTORE);
    Pump();

    DWORD_PTR answer = 0;
    if (!::IsWindow(main_) ||
        ::SendMessageTimeout(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) == 0) {
      std::printf("FAIL: the main window is gone or does not answer\n");
      return false;
    }
    const int windows = CountWindowsAndChildren();
    if (windows != windows_) {
      std::printf("FAIL: %d windows and controls, %d at the start\n", windows, windows_);
      ok = false;
    }
    for (const std::string& handle : machine_.OpenHandles()) {
      std::printf("FAIL: handle left open: %s\n", handle.c_str());
      ok = false;
    }
    if (machine_.bad_closes() != 0) {
      std::printf("FAIL: %zu handles closed that were not open\n", machine_.bad_closes());
      ok = false;
    }
    ::SendMessage(main_, WM_COMMAND, TfrmMain::kIdRefresh1, 0);
    Pump();
    const std::vector<std::string> rows = Rows();
    const std::vector<std::string> expected = ExpectedRows(machine_, names_);
    if (rows != expected) {
      std::printf("FAIL: the list does not show the machine's disks\n");
      for (const auto& row : rows) std::printf("  shown:    %s\n", row.c_str());
      for (const auto& row : expected) std::printf("  expected: %s\n", row.c_str());
      ok = false;
    }
    std::printf(
        "seed %llu: %d events, %d boxes answered, %d Properties windows, %d foreign bursts, %s\n",
        static_cast<unsigned long long>(seed_), done, answerer.answered(),
        answerer.properties_opened(), foreign_bursts_, ok ? "ok" : "FAILED");
    std::fflush(stdout);
    return ok;
  }

  std::uint64_t seed_;
  Random random_;
  demo::NoticePostingMachine machine_;
  VolumeTable table_;
  demo::NoticeWindow notices_;
  Application application_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND hidden_properties_ = nullptr;
  std::map<std::string, std::string> names_;
  int windows_ = 0;
  int foreign_bursts_ = 0;
  bool quit_ = false;
  bool failed_ = false;
};

}  // namespace
}  // namespace sb

int main(int argc, char** argv) {
  const int events = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 1;
  std::printf("monkey: %d events, seed %llu\n", events, static_cast<unsigned long long>(seed));
  sb::Monkey monkey(seed);
  if (!monkey.Start()) {
    std::printf("FAIL: the program could not start\n");
    return 1;
  }
  return monkey.Run(events) ? 0 : 1;
}
