// The machine format's texts are UTF-8; Windows' are UTF-16 (wide) or the code page's bytes.
// These convert between UTF-8 and wide texts, for the tools that read and write the format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace sb::scenario {

inline constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

inline void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

inline void AppendWide(std::wstring& out, std::uint32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

// UTF-8 of a wide text (UTF-16 on Windows, code points elsewhere); what is not a
// character becomes U+FFFD.
inline std::string Utf8(std::wstring_view wide) {
  std::string out;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    auto c = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i]));
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
        const auto low = static_cast<std::uint32_t>(wide[i + 1]) & 0xFFFF;
        if (low >= 0xDC00 && low <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

// One character of UTF-8 at the front of text: its code point, how many bytes it takes, and
// whether it is whole. A byte that does not begin or continue a character as UTF-8 requires
// (a stray or missing continuation, an overlong form, a surrogate, a value past U+10FFFF)
// is not whole; it takes the bytes up to the first that cannot continue it.
struct Utf8Character {
  std::uint32_t code_point = 0;
  std::size_t size = 1;
  bool whole = false;
};

inline Utf8Character FrontUtf8(std::string_view text) {
  const auto lead = static_cast<std::uint8_t>(text.front());
  const std::size_t length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 0;
  if (length == 0) return {};
  std::uint32_t c = length == 1   ? lead
                    : length == 2 ? lead & 0x1F
                    : length == 3 ? lead & 0x0F
                                  : lead & 0x07;
  std::size_t taken = 1;
  while (taken < length && taken < text.size() &&
         (static_cast<std::uint8_t>(text[taken]) & 0xC0) == 0x80) {
    c = (c << 6) | (static_cast<std::uint8_t>(text[taken]) & 0x3F);
    ++taken;
  }
  static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool whole =
      taken == length && c >= kSmallest[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
  return {c, taken, whole};
}

// The wide text of UTF-8; what is not a whole character becomes U+FFFD.
inline std::wstring WideFromUtf8(std::string_view utf8) {
  std::wstring out;
  while (!utf8.empty()) {
    const Utf8Character character = FrontUtf8(utf8);
    AppendWide(out, character.whole ? character.code_point : kReplacementCharacter);
    utf8.remove_prefix(character.size);
  }
  return out;
}

}  // namespace sb::scenario
