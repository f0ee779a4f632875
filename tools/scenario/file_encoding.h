// The bytes of a machine description file as the UTF-8 text the JSON parser reads. A file
// is accepted in UTF-8, with or without a byte order mark, and in UTF-16 (little- or
// big-endian) with a byte order mark: what the capture tool's --output, Command Prompt's
// ">" and PowerShell's ">" write. Any other bytes are named, never guessed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "tools/scenario/utf8_text.h"

namespace sb::scenario {

struct DecodedFile {
  std::optional<std::string> utf8{};  // the text, when the bytes are in an accepted encoding
  std::string found{};                // otherwise: the encoding found, and where it fails
};

namespace encoding_detail {

inline std::uint8_t At(std::string_view bytes, std::size_t i) {
  return static_cast<std::uint8_t>(bytes[i]);
}

inline bool StartsWith(std::string_view bytes, std::initializer_list<std::uint8_t> prefix) {
  if (bytes.size() < prefix.size()) return false;
  std::size_t i = 0;
  for (const std::uint8_t byte : prefix) {
    if (At(bytes, i++) != byte) return false;
  }
  return true;
}

inline std::string ByteText(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

// The offset of the first byte that does not begin or continue a UTF-8 character, or
// nullopt when all of them do.
inline std::optional<std::size_t> FirstNonUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const Utf8Character character = FrontUtf8(bytes.substr(i));
    if (!character.whole) return i;
    i += character.size;
  }
  return std::nullopt;
}

// UTF-16 after its byte order mark, as UTF-8; a lone surrogate or an odd byte count fails.
inline DecodedFile FromUtf16(std::string_view bytes, bool big_endian) {
  const char* name = big_endian ? "UTF-16BE" : "UTF-16LE";
  if (bytes.size() % 2 != 0) {
    return {std::nullopt, std::string(name) + " with an odd number of bytes"};
  }
  auto unit = [&](std::size_t i) -> std::uint32_t {
    return big_endian ? (At(bytes, i) << 8) | At(bytes, i + 1)
                      : At(bytes, i) | (At(bytes, i + 1) << 8);
  };
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 2 < bytes.size()) {
      const std::uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      return {std::nullopt,
              std::string(name) + " with a lone surrogate at byte " + std::to_string(i + 2)};
    }
    AppendUtf8(out, c);
  }
  return {std::move(out), {}};
}

}  // namespace encoding_detail

inline DecodedFile DecodeFile(std::string_view bytes) {
  using namespace encoding_detail;
  // UTF-32's marks begin as UTF-16LE's does: they are looked for first.
  if (StartsWith(bytes, {0xFF, 0xFE, 0x00, 0x00})) return {std::nullopt, "UTF-32LE"};
  if (StartsWith(bytes, {0x00, 0x00, 0xFE, 0xFF})) return {std::nullopt, "UTF-32BE"};
  if (StartsWith(bytes, {0xFF, 0xFE})) return FromUtf16(bytes.substr(2), false);
  if (StartsWith(bytes, {0xFE, 0xFF})) return FromUtf16(bytes.substr(2), true);
  const bool mark = StartsWith(bytes, {0xEF, 0xBB, 0xBF});
  const std::string_view text = mark ? bytes.substr(3) : bytes;
  // JSON text begins with an ASCII character; a zero byte beside it is UTF-16 or UTF-32
  // that lost its byte order mark.
  if (text.size() >= 2 && (At(text, 0) == 0 || At(text, 1) == 0)) {
    return {std::nullopt, "UTF-16 or UTF-32 without a byte order mark"};
  }
  if (const auto bad = FirstNonUtf8(text)) {
    const std::size_t offset = *bad + (mark ? 3 : 0);
    return {std::nullopt, "not UTF-8: byte " + ByteText(At(bytes, offset)) + " at offset " +
                              std::to_string(offset) +
                              " (a single-byte code page such as Windows-1252?)"};
  }
  return {std::string(text), {}};
}

}  // namespace sb::scenario
