#include "volumes/volume_table.h"

namespace sb {

VolumeTable VolumeList;

}  // namespace sb
