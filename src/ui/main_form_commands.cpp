// The disk state commands of the main window: Offline, Online, Read-Only, Read-Write.
#include <exception>
#include <optional>

#include "disk/attributes.h"
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

// What the status bar or the message dialog says after a change: the request, the change
// ("DISK_OFFLINE", "DISK_ONLINE", "READ_ONLY", "WRITE") and "Ok" or "failed".
Text ChangeText(const Char* change, const Char* outcome) {
  return SB_T("IOCTL_DISK_SET_DISK_ATTRIBUTES ") + Text(change) + SB_T(" ") + outcome;
}

// Only Yes goes on. Wine answers Esc and the Close command of a Yes/No box with IDCANCEL,
// and a box that could not be shown answers 0: neither is the administrator's consent to
// change a disk.
bool Confirmed(int answer) {
  return answer == win::kIdYes;
}

// A volume on the disk numbered value. A volume whose disk is not known (its extent could
// not be read, or its disk number does not fit a byte) is on no disk: its disk_number would
// otherwise alias disk 0 or another disk.
bool OnDisk(const volumes& volume, std::int64_t value) {
  return volume.disk_known && volume.disk_number == value;
}

}  // namespace

std::optional<MainForm::ChosenDisk> MainForm::ConfirmedDisk(const Char* state) {
  auto disk = SelectedDisk();
  if (!disk) return std::nullopt;
  if (!Confirmed(view_.MessageBox(Owner::kMainWindow, SB_T("Set ") + disk->path + state,
                                  kQuestionCaption, kQuestionType))) {
    return std::nullopt;
  }
  return disk;
}

// A refused change is reported, and the volumes are looked at all the same.
void MainForm::ChangeOnlineState(const ChosenDisk& disk, std::uint64_t attributes,
                                 const Char* change) {
  if (SetDiskAttributes(platform_, disk.path, attributes, DISK_ATTRIBUTE_OFFLINE)) {
    view_.SetStatusText(ChangeText(change, SB_T("Ok")));
  } else {
    view_.ShowMessage(ChangeText(change, SB_T("failed")));
  }
  platform_.Sleep(kSettleMilliseconds);
  // The volume notices the change caused are handled here, before the list is refilled.
  view_.ProcessMessages();
  RefreshDiskList();

  // The drive letters of the disk's volumes: removed after Offline, given after Online.
  const bool offline = attributes & DISK_ATTRIBUTE_OFFLINE;
  const std::size_t count = list_volumes(platform_, view_, volume_table_);
  for (std::size_t i = 0; i < count; ++i) {
    const volumes& volume = volume_table_[i];
    if (!OnDisk(volume, disk.value)) continue;
    if (offline && !volume.mount_path.empty()) unmount_vol(platform_, view_, volume.mount_path);
    if (!offline && volume.mount_path.empty()) mount_vol(platform_, view_, volume.volume_name);
  }
}

// The offline and online cycle brings the disk's volumes back with the new state.
void MainForm::ChangeWriteState(const ChosenDisk& disk, std::uint64_t attributes,
                                const Char* change) {
  try {
    if (!SetDiskAttributes(platform_, disk.path, attributes, DISK_ATTRIBUTE_READ_ONLY)) {
      throw Error(ChangeText(change, SB_T("failed")));
    }
    view_.SetStatusText(ChangeText(change, SB_T("Ok")));
    TGetDiskAttributes record;
    // Equality, not a bit test: only a disk that is online and carries no bit but the
    // read-only one is taken offline and back; an offline disk stays offline, and a word
    // with bits the program does not know is left as Windows has it.
    if (GetDiskAttributes(platform_, disk.path, record) &&
        (record.Attributes == 0 || record.Attributes == DISK_ATTRIBUTE_READ_ONLY)) {
      SetDiskAttributes(platform_, disk.path, DISK_ATTRIBUTE_OFFLINE, DISK_ATTRIBUTE_OFFLINE);
      SetDiskAttributes(platform_, disk.path, 0, DISK_ATTRIBUTE_OFFLINE);
    }
    platform_.Sleep(kSettleMilliseconds);
    // Pending messages are left to the main loop: nothing here may run nested.
    RefreshDiskList();
  } catch (const std::exception& error) {
    view_.ShowMessage(MessageOf(error));
  }
}

void MainForm::Button2Click() {
  if (const auto disk = ConfirmedDisk(SB_T(" offline ?"))) {
    ChangeOnlineState(*disk, DISK_ATTRIBUTE_OFFLINE, SB_T("DISK_OFFLINE"));
  }
}

void MainForm::Button3Click() {
  const auto disk = SelectedDisk();
  if (!disk) return;
  const std::string warning =
      "WARNING - You are about to mount every volume on disk " +
      TextToAnsi(platform_, disk->number) +
      ".\r\nIf the disk is NOT Read-Only, it will NOT be write protected.\r\nContinue?";
  if (!Confirmed(view_.MessageBoxA(Owner::kNone, warning, "Spindlebay", kQuestionType))) return;
  ChangeOnlineState(*disk, 0, SB_T("DISK_ONLINE"));
}

void MainForm::Button4Click() {
  if (const auto disk = ConfirmedDisk(SB_T(" read-only ?"))) {
    ChangeWriteState(*disk, DISK_ATTRIBUTE_READ_ONLY, SB_T("READ_ONLY"));
  }
}

void MainForm::Button5Click() {
  if (const auto disk = ConfirmedDisk(SB_T(" read-write ?"))) {
    ChangeWriteState(*disk, 0, SB_T("WRITE"));
  }
}

}  // namespace sb
