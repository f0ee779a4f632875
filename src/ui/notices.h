// Volume arrival and removal broadcasts.
#pragma once

#include "platform/bytes.h"
#include "platform/text.h"

namespace sb {

// The drive named by the lowest of the 26 low bits of the volume record's unit mask, as a
// letter and a colon ("E:"); empty when none of them is set.
Text UnitMaskToDrive(ConstBytes volume_record);

}  // namespace sb
