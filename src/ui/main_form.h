// The handlers of the main window, TfrmMain, apart from its Win32 window.
//
// Where each member is defined:
//   main_form.cpp             RefreshDiskList (FormShow, Refresh1Click) and SelectedDisk
//   main_form_commands.cpp    Button2Click to Button5Click: Offline, Online, Read-Only and
//                             Read-Write (kCommandButtons below), and their steps
//   main_form_properties.cpp  ShowProperties (lvdisksDblClick, ShowDiskPartInformations1Click)
//   main_form_notices.cpp     WMDeviceChange
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "ui/texts.h"
#include "ui/view.h"
#include "volumes/volume_table.h"

namespace sb {

class MainForm {
 public:
  MainForm(Platform& platform, MainView& view, VolumeTable& volume_table)
      : platform_(platform), view_(view), volume_table_(volume_table) {}

  // Nothing: the disk work waits for the first showing (FormShow), so that the window is
  // on screen before sixteen disks are probed. Kept so that every event has its handler.
  void FormCreate() {}
  void FormShow() { RefreshDiskList(); }

  // Refills the disk list, selects the row at the position selected before and gives the
  // list the focus. A failing refill is shown as "_Enum_Drives_lv:" and its message.
  void RefreshDiskList();

  void lvdisksSelectItem() { view_.EnableButtons(); }
  void lvdisksDblClick() { ShowProperties(); }
  void ShowDiskPartInformations1Click() { ShowProperties(); }
  void Refresh1Click() { RefreshDiskList(); }

  // The disk state commands, one per button of Panel1 (kCommandButtons).
  void Button2Click();  // Offline
  void Button3Click();  // Online
  void Button4Click();  // Read-Only
  void Button5Click();  // Read-Write

  // Opens a Properties window with the report of the selected disk.
  void ShowProperties();

  // WM_DEVICECHANGE, after the default processing: event is the wParam, record the
  // broadcast record that lParam points to (empty when it points nowhere).
  void WMDeviceChange(std::uint32_t event, ConstBytes record);

 private:
  // Disk number of a caption that is not a number: no volume has it.
  static constexpr std::int64_t kNoDisk = -1;

  // The disk of the selected row, read once: the list may be refilled under a command, and
  // the row at the same position may then hold another disk.
  struct ChosenDisk {
    Text number;  // the row caption
    Text path;
    std::int64_t value = kNoDisk;
  };

  // The selected row's disk; without a selection the user is asked to pick one.
  std::optional<ChosenDisk> SelectedDisk();
  // The selected row's disk once the user was asked to set it to state ("Set
  // \\.\PhysicalDriveN offline ?") and did not answer No.
  std::optional<ChosenDisk> ConfirmedDisk(const Char* state);
  // Offline and Online: the change, the pause, the notices it caused, the refresh, and the
  // drive letters of the disk's volumes. change names it in the texts the user is shown
  // ("DISK_OFFLINE", "DISK_ONLINE").
  void ChangeOnlineState(const ChosenDisk& disk, std::uint64_t attributes, const Char* change);
  // Read-Only and Read-Write ("READ_ONLY", "WRITE"): the change and, while the disk is
  // online, an offline and online cycle.
  void ChangeWriteState(const ChosenDisk& disk, std::uint64_t attributes, const Char* change);

  Platform& platform_;
  MainView& view_;
  VolumeTable& volume_table_;
  std::uint8_t remembered_row_ = 0;
};

// Panel1's buttons, left to right, and the command each one runs. The window creates its
// buttons from this table and hands their clicks on through it; the tools that press
// buttons by name find them here.
struct CommandButton {
  int number;                 // 2 for Button2, ...
  const Char* caption;        // the button's caption, which names its command
  void (MainForm::*click)();  // the button's click handler
};
inline constexpr CommandButton kCommandButtons[] = {
    {2, SB_T("Offline"), &MainForm::Button2Click},
    {3, SB_T("Online"), &MainForm::Button3Click},
    {4, SB_T("Read-Only"), &MainForm::Button4Click},
    {5, SB_T("Read-Write"), &MainForm::Button5Click},
};

// The button whose caption is name, in ASCII; nullptr when no button has it.
const CommandButton* FindCommandButton(std::string_view name);

}  // namespace sb
