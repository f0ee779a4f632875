// The main window's handling of volume arrival and removal broadcasts.
#include "ui/main_form.h"

#include "platform/records.h"
#include "ui/notices.h"

namespace sb {

void MainForm::WMDeviceChange(std::uint32_t event, ConstBytes record) {
  const Char* words = nullptr;
  if (event == win::kDbtDeviceArrival) words = SB_T(" : device inserted ");
  if (event == win::kDbtDeviceRemoveComplete) words = SB_T(" : device removed ");
  if (words == nullptr) return;
  if (ByteReader(record).U32(rec::kBroadcastDeviceType) != win::kDbtDevtypVolume) return;
  const Text drive = UnitMaskToDrive(record);
  view_.SetStatusText(platform_.LocalDateTimeText() + words + drive);
  RefreshDiskList();
}

}  // namespace sb
