// The handlers of the main window, TfrmMain, apart from its Win32 window.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "ui/view.h"
#include "volumes/volume_table.h"

namespace sb {

inline constexpr const Char* kProgramTitle = SB_T("Spindlebay");
inline constexpr const Char* kMainCaption = SB_T("Spindlebay 0.9 - support@spindlebay.example");
inline constexpr const Char* kPickADisk = SB_T("pick a disk/part");

class MainForm {
 public:
  MainForm(Platform& platform, MainView& view, VolumeTable& volume_table)
      : platform_(platform), view_(view), volume_table_(volume_table) {}

  void FormCreate() {}
  void FormShow() { RefreshDiskList(); }

  // Refills the disk list, selects the row at the position selected before and gives the
  // list the focus. A failing refill is shown as "_Enum_Drives_lv:" and its message.
  void RefreshDiskList();

  void lvdisksSelectItem() { view_.EnableButtons(); }
  void lvdisksDblClick() { ShowProperties(); }
  void ShowDiskPartInformations1Click() { ShowProperties(); }
  void Refresh1Click() { RefreshDiskList(); }

  // The disk state commands: Offline, Online, Read-Only, Read-Write.
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();

  // Opens a Properties window with the report of the selected disk.
  void ShowProperties();

  // WM_DEVICECHANGE, after the default processing: event is the wParam, record the
  // broadcast record that lParam points to (empty when it points nowhere).
  void WMDeviceChange(std::uint32_t event, ConstBytes record);

 private:
  Platform& platform_;
  MainView& view_;
  VolumeTable& volume_table_;
  std::uint8_t remembered_row_ = 0;
};

}  // namespace sb
