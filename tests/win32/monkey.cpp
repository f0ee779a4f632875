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

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/records.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_view.h"
#include "tools/demo/demo_machine.h"
#include "tools/demo/notice_delivery.h"
#include "tools/soak/counting_platform.h"
#include "tools/testdisk/control_client.h"
#include "tools/testdisk/disk_image.h"
#include "ui/win32/app.h"
#include "ui/win32/tfrm_main.h"
#include "ui/win32/tfrm_properties.h"
#include "ui/win32/window_util.h"
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
};

// The demo's simulated machine; its volume notices reach the window through the queue.
class DemoWorld final : public World {
 public:
  DemoWorld() : notices_(::GetModuleHandle(nullptr), L"SpindlebayMonkeyNotices") {
    demo::BuildDemoMachine(machine_);
    machine_.set_notice_window(notices_.hwnd());
  }
  Platform& platform() override { return machine_; }
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
        application_(::GetModuleHandle(nullptr), world.platform(), table_) {}

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
        static_cast<unsigned long long>(seed_), done, answerer.answered(),
        answerer.properties_opened(), foreign_bursts_, world_.Summary().c_str(),
        ok ? "ok" : "FAILED");
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
