// Reading a disk description (protocol.h): checking it whole before the driver keeps it, and
// finding the answer of one control code in it.
#pragma once

#include "tools/testdisk/driver/kernel.h"

namespace sb::testdisk::kernel {

// True when the header, every answer header and every answer's bytes lie inside the
// description, the size field matches, the number is one the driver serves and there are
// not too many answers.
bool IsValidDescription(ByteView description);

struct Answer {
  bool found = false;
  NTSTATUS failure = STATUS_SUCCESS;  // not STATUS_SUCCESS: the request fails with it
  ByteView bytes{nullptr, 0};
};

// The answer to code in a description that IsValidDescription accepted.
Answer FindAnswer(ByteView description, std::uint32_t code);

}  // namespace sb::testdisk::kernel
