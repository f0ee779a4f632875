// The disk state commands of the main window: Offline, Online, Read-Only, Read-Write.
#include <exception>
#include <optional>

#include "disk/attributes.h"
#include "disk/device_path.h"
#include "disk/set_attributes.h"
#include "platform/error.h"
#include "ui/main_form.h"
#include "volumes/mount_points.h"
#include "volumes/volume_routines.h"

namespace sb {
namespace {

using Owner = Dialogs::Owner;

inline constexpr const Char* kQuestionCaption = SB_T("Quarrow");
inline constexpr std::uint32_t kQuestionType = win::kMbYesNo | win::kMbDefButton1;
// The pause after a change, so that the platform has settled before the list is read.
inline constexpr std::uint32_t kSettleMilliseconds = 1000;
// Disk number of a caption that is not a number: no volume has it.
inline constexpr std::int64_t kNoDisk = -1;

// The disk of the selected row, read once: the list may be refilled under a command, and
// the row at the same position may then hold another disk.
struct ChosenDisk {
  Text number;  // the row caption
  Text path;
  std::int64_t value = kNoDisk;
};

// The selected row's disk; without a selection the user is asked to pick one.
std::optional<ChosenDisk> SelectedDisk(MainView& view) {
  DiskListView& list = view.lvdisks();
  const auto row = list.Selected();
  if (!row) {
    view.ShowMessage(kPickADisk);
    return std::nullopt;
  }
  ChosenDisk disk;
  disk.number = list.Caption(*row);
  disk.path = DiskPath(disk.number);
  disk.value = ParseDecimal(disk.number, kNoDisk);
  return disk;
}

bool Confirmed(int answer) {
  return answer != win::kIdNo;
}

bool Ask(MainView& view, const ChosenDisk& disk, const Char* state) {
  return Confirmed(view.MessageBox(Owner::kMainWindow, SB_T("Set ") + disk.path + state,
                                   kQuestionCaption, kQuestionType));
}

// A volume on the chosen disk. A volume whose disk is not known (its extent could not be
// read, or its disk number does not fit a byte) is on no disk: its disk_number would
// otherwise alias disk 0 or another disk.
bool OnDisk(const volumes& volume, const ChosenDisk& disk) {
  return volume.disk_known && volume.disk_number == disk.value;
}

// Offline and Online: the change, the pause, the notices it caused, the refresh, and then
// the drive letters of the disk's volumes: removed after Offline, given after Online. A
// refused change is reported, and the volumes are looked at all the same.
void ChangeOnlineState(MainForm& form, Platform& platform, MainView& view, VolumeTable& table,
                       const ChosenDisk& disk, std::uint64_t attributes, const Char* ok,
                       const Char* failed) {
  if (SetDiskAttributes(platform, disk.path, attributes, DISK_ATTRIBUTE_OFFLINE)) {
    view.SetStatusText(ok);
  } else {
    view.ShowMessage(failed);
  }
  platform.Sleep(kSettleMilliseconds);
  // The volume notices the change caused are handled here, before the list is refilled.
  view.ProcessMessages();
  form.RefreshDiskList();

  const bool offline = attributes & DISK_ATTRIBUTE_OFFLINE;
  const std::size_t count = list_volumes(platform, view, table);
  for (std::size_t i = 0; i < count; ++i) {
    const volumes& volume = table[i];
    if (!OnDisk(volume, disk)) continue;
    if (offline && !volume.mount_path.empty()) unmount_vol(platform, view, volume.mount_path);
    if (!offline && volume.mount_path.empty()) mount_vol(platform, view, volume.volume_name);
  }
}

// Read-Only and Read-Write: the change, then, while the disk is online, a quick offline
// and online cycle so that its volumes come back with the new state.
void ChangeWriteState(MainForm& form, Platform& platform, MainView& view, const ChosenDisk& disk,
                      std::uint64_t attributes, const Char* ok, const Char* failed) {
  try {
    if (!SetDiskAttributes(platform, disk.path, attributes, DISK_ATTRIBUTE_READ_ONLY)) {
      throw Error(failed);
    }
    view.SetStatusText(ok);
    TGetDiskAttributes record;
    if (GetDiskAttributes(platform, disk.path, record) &&
        (record.Attributes == 0 || record.Attributes == DISK_ATTRIBUTE_READ_ONLY)) {
      SetDiskAttributes(platform, disk.path, DISK_ATTRIBUTE_OFFLINE, DISK_ATTRIBUTE_OFFLINE);
      SetDiskAttributes(platform, disk.path, 0, DISK_ATTRIBUTE_OFFLINE);
    }
    platform.Sleep(kSettleMilliseconds);
    // Pending messages are left to the main loop: nothing here may run nested.
    form.RefreshDiskList();
  } catch (const std::exception& error) {
    view.ShowMessage(MessageOf(error));
  }
}

}  // namespace

void MainForm::Button2Click() {
  const auto disk = SelectedDisk(view_);
  if (!disk || !Ask(view_, *disk, SB_T(" offline ?"))) return;
  ChangeOnlineState(*this, platform_, view_, volume_table_, *disk, DISK_ATTRIBUTE_OFFLINE,
                    SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_OFFLINE Ok"),
                    SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_OFFLINE failed"));
}

void MainForm::Button3Click() {
  const auto disk = SelectedDisk(view_);
  if (!disk) return;
  const std::string warning =
      "WARNING - You are about to mount every volume on disk " +
      TextToAnsi(platform_, disk->number) +
      ".\r\nIf the disk is NOT Read-Only, it will NOT be write protected.\r\nContinue?";
  if (!Confirmed(view_.MessageBoxA(Owner::kNone, warning, "Spindlebay", kQuestionType))) return;
  ChangeOnlineState(*this, platform_, view_, volume_table_, *disk, 0,
                    SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_ONLINE Ok"),
                    SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES DISK_ONLINE failed"));
}

void MainForm::Button4Click() {
  const auto disk = SelectedDisk(view_);
  if (!disk || !Ask(view_, *disk, SB_T(" read-only ?"))) return;
  ChangeWriteState(*this, platform_, view_, *disk, DISK_ATTRIBUTE_READ_ONLY,
                   SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY Ok"),
                   SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES READ_ONLY failed"));
}

void MainForm::Button5Click() {
  const auto disk = SelectedDisk(view_);
  if (!disk || !Ask(view_, *disk, SB_T(" read-write ?"))) return;
  ChangeWriteState(*this, platform_, view_, *disk, 0,
                   SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES WRITE Ok"),
                   SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES WRITE failed"));
}

}  // namespace sb
