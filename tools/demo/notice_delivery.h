// Volume notices of a simulated machine, delivered to the main window as Windows
// delivers its broadcasts: WM_DEVICECHANGE with a volume record, through the message queue.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/sim/sim_machine.h"

namespace sb {
class TfrmMain;
}

namespace sb::demo {

// A simulated machine that posts every notice it queues to a NoticeWindow, so that the
// notice arrives when the program next lets messages run: inside a command that processes
// pending messages, or in the main loop.
class NoticePostingMachine : public sim::SimMachine {
 public:
  void set_notice_window(HWND window) { notice_window_ = window; }
  void PostNotices();

  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override;
  bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) override;
  bool DeleteVolumeMountPointA(const std::string& mount_point) override;

 private:
  HWND notice_window_ = nullptr;
};

// A hidden top-level window that turns posted notices into WM_DEVICECHANGE broadcasts to
// the main window it is given. Messages from WM_APP + 1 on are handed to an optional
// handler (the demo's stick, for example).
class NoticeWindow {
 public:
  using AppHandler = void (*)(void* context, UINT message);

  NoticeWindow(HINSTANCE instance, const wchar_t* class_name, AppHandler handler = nullptr,
               void* context = nullptr);
  ~NoticeWindow();
  NoticeWindow(const NoticeWindow&) = delete;
  NoticeWindow& operator=(const NoticeWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The main window that receives the broadcasts, from before its start (its window is
  // read at each notice), or nullptr. Notices that come while there is none are dropped.
  void set_target(const TfrmMain* main_window) { target_ = main_window; }

  static constexpr UINT kNoticeMessage = WM_APP;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;

  HWND hwnd_ = nullptr;
  const TfrmMain* target_ = nullptr;
  AppHandler handler_;
  void* context_;
};

}  // namespace sb::demo
