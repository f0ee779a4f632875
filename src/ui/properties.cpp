#include "ui/main_form.h"

#include "disk/device_path.h"
#include "disk/report.h"

namespace sb {

void MainForm::ShowProperties() {
  const auto selected = view_.lvdisks().Selected();
  if (!selected) {
    view_.ShowMessage(kPickADisk);
    return;
  }
  // The row's caption is the disk number; the path is rebuilt from it.
  const Text path = DiskPath(view_.lvdisks().Caption(*selected));
  // The window is on screen before the report fills it.
  Lines& memo = view_.OpenProperties(SB_T("Properties for ") + path);
  DiskInfoReport(platform_, FirstWord(path), memo);
}

}  // namespace sb
