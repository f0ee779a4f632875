#include "ui/main_form.h"

#include <algorithm>
#include <exception>

#include "disk/device_path.h"
#include "platform/error.h"
#include "ui/disk_list.h"

namespace sb {

void MainForm::RefreshDiskList() {
  DiskListView& list = view_.lvdisks();
  // Without a selection the position remembered last stays (row 0 at the first showing).
  if (const auto selected = list.Selected()) remembered_row_ = static_cast<std::uint8_t>(*selected);
  try {
    _Enum_Drives_lv(platform_, list);
  } catch (const std::exception& error) {
    view_.ShowMessage(SB_T("_Enum_Drives_lv:") + MessageOf(error));
  }
  const std::size_t rows = list.RowCount();
  if (rows == 0) return;
  // A disk that vanished can leave the position behind the last row: take the last row.
  list.Select(std::min<std::size_t>(remembered_row_, rows - 1));
  list.Focus();
}

std::optional<MainForm::ChosenDisk> MainForm::SelectedDisk() {
  DiskListView& list = view_.lvdisks();
  const auto row = list.Selected();
  if (!row) {
    view_.ShowMessage(kPickADisk);
    return std::nullopt;
  }
  // The row's caption is the disk number; the path is rebuilt from it.
  ChosenDisk disk;
  disk.number = list.Caption(*row);
  disk.path = DiskPath(disk.number);
  disk.value = ParseDecimal(disk.number, kNoDisk);
  return disk;
}

const CommandButton* FindCommandButton(std::string_view name) {
  for (const CommandButton& button : kCommandButtons) {
    if (TextToAscii(button.caption) == name) return &button;
  }
  return nullptr;
}

}  // namespace sb
