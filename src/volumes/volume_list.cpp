#include "volumes/volume_table.h"

namespace sb {

// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
VolumeTable VolumeList;

}  // namespace sb
