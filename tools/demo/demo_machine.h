// The demo machine: the kinds of disk administrators have (tools/testdisk/machines/kinds.json,
// built into the program) with volumes on them, for the demo program, the tours and the monkey.
#pragma once

#include "platform/sim/sim_machine.h"

namespace sb::demo {

// Disks 0 to 11 of kinds.json: the NVMe system disk (C: and a recovery volume), a second NVMe
// disk (D:, also mounted at C:\Data\), a SATA SSD (E:), a USB stick (F:), an empty
// card-reader slot, a VMware virtual disk (G:), a 4K-sector disk (H:), a blank disk, a GPT
// disk with 96 partitions, an iSCSI disk (I:), an offline read-only SAS disk and a disk with
// long identifiers (J:); a DVD drive (R:) and a network drive (Z:).
void BuildDemoMachine(sim::SimMachine& machine);

// A second USB stick, of the same kind as disk 3, that the demo can plug in: disk 12 with one
// volume, drive letter K:.
void PlugInStick(sim::SimMachine& machine);
void PullOutStick(sim::SimMachine& machine);

}  // namespace sb::demo
