// A planted upward include: a disk routine reaching the user interface. The floors check
// must refuse it (test floors_rule in tests/CMakeLists.txt).
#pragma once

#include "platform/text.h"
#include "ui/main_form.h"
