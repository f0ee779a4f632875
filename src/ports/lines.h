// The lines of a text box (a memo's Lines): where the disk report is written.
//
// An output port, like Dialogs: the report writes to it, the Properties window and the
// tests implement it.
#pragma once

#include "platform/text.h"

namespace sb {

class Lines {
 public:
  virtual ~Lines() = default;
  virtual void Clear() = 0;
  virtual void Add(const Text& line) = 0;
};

}  // namespace sb
