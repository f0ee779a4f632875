// The Properties window of the main window's selected disk.
#include "ui/main_form.h"

#include "disk/report.h"

namespace sb {

void MainForm::ShowProperties() {
  const auto disk = SelectedDisk();
  if (!disk) return;
  // The window is on screen before the report fills it.
  Lines& memo = view_.OpenProperties(SB_T("Properties for ") + disk->path);
  DiskInfoReport(platform_, FirstWord(disk->path), memo);
}

}  // namespace sb
