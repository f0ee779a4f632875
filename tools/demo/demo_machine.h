// The demo machine: a handful of varied disks and volumes for the demo program and tours.
#pragma once

#include "platform/sim/sim_machine.h"

namespace sb::demo {

// Disk 0: the boot SSD (MBR, C: and a recovery volume); disk 1: a data disk (GPT, D:);
// disk 2: a USB stick (removable, E:); disk 3: an offline backup disk; disk 5: a read-only
// archive disk; disk 6: a disk whose queries fail. Disk 4 is absent.
void BuildDemoMachine(sim::SimMachine& machine);

// A USB stick that the demo can plug in: disk 7 with one volume, drive letter G:.
void PlugInStick(sim::SimMachine& machine);
void PullOutStick(sim::SimMachine& machine);

}  // namespace sb::demo
