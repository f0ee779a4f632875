// The program's general exception type: a message in the program's Text.
#pragma once

#include <exception>
#include <string>

#include "platform/text.h"

namespace sb {

class Error : public std::exception {
 public:
  explicit Error(Text message) : message_(std::move(message)), what_(TextToAscii(message_)) {}
  const Text& message() const { return message_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Text message_;
  std::string what_;
};

// The message of whatever was caught, as the program's Text: ours keeps its own text,
// any other standard exception gives its what().
inline Text MessageOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Error*>(&error)) return own->message();
  return AsciiToText(error.what());
}

}  // namespace sb
