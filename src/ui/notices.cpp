#include "ui/notices.h"

#include <exception>

#include "platform/records.h"
#include "ui/main_form.h"

namespace sb {

Text UnitMaskToDrive(ConstBytes volume_record) {
  try {
    std::uint32_t mask = ByteReader(volume_record).U32(rec::kBroadcastVolumeUnitMask);
    for (int i = 0; i < 26; ++i) {
      if (mask & 1) return Text(1, static_cast<Char>('A' + i)) + SB_T(":");
      mask >>= 1;
    }
    return Text();
  } catch (const std::exception&) {
    return Text();
  }
}

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
