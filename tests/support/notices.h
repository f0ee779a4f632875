// Volume broadcasts as the main window receives them.
#pragma once

#include <cstdint>

#include "platform/bytes.h"
#include "platform/platform.h"
#include "platform/records.h"
#include "platform/sim/sim_machine.h"
#include "ui/main_form.h"

namespace sb::test {

// A DEV_BROADCAST_VOLUME record for the drives of unit_mask (bit 0 is A:).
inline Bytes VolumeNotice(std::uint32_t unit_mask, std::uint16_t flags = 0) {
  Bytes record(rec::kBroadcastVolumeSize, 0);
  ByteWriter writer(record);
  writer.U32(0, rec::kBroadcastVolumeSize);  // dbch_size
  writer.U32(rec::kBroadcastDeviceType, win::kDbtDevtypVolume);
  writer.U32(rec::kBroadcastVolumeUnitMask, unit_mask);
  writer.U16(rec::kBroadcastVolumeFlags, flags);
  return record;
}

// Hands every notice the machine has queued to the main window, as its message dispatch
// would when pending messages are let run.
inline void DeliverNotices(sim::SimMachine& machine, MainForm& form) {
  for (const sim::Notice& notice : machine.TakeNotices()) {
    form.WMDeviceChange(notice.event, VolumeNotice(notice.unit_mask));
  }
}

}  // namespace sb::test
