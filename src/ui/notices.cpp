#include "ui/notices.h"

#include "platform/records.h"

namespace sb {

Text UnitMaskToDrive(ConstBytes volume_record) {
  // ByteReader reads a record too short for the mask as 0: no drive.
  std::uint32_t mask = ByteReader(volume_record).U32(rec::kBroadcastVolumeUnitMask);
  for (int i = 0; i < 26; ++i) {
    if (mask & 1) return Text(1, static_cast<Char>('A' + i)) + SB_T(":");
    mask >>= 1;
  }
  return Text();
}

}  // namespace sb
