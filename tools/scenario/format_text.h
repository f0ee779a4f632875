// How the machine format writes raw bytes and control codes: the inverses of ParseHex and
// ParseCode, for the tools that write descriptions (the capture, the window runner's
// description of Wine's disk 0).
#pragma once

#include <cstdint>
#include <string>

#include "platform/bytes.h"

namespace sb::scenario {

// Lower-case hexadecimal digits, two a byte, no separators.
inline std::string HexText(ConstBytes bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

// "0x0007405C": eight upper-case digits.
inline std::string CodeText(std::uint32_t code) {
  static constexpr char kUpperDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kUpperDigits[(code >> shift) & 0xF];
  return text;
}

}  // namespace sb::scenario
