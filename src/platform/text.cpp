#include "platform/text.h"

#include <limits>

namespace sb {
namespace {

Char AsciiLower(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

}  // namespace

Text DecUnsigned(std::uint64_t value) {
  Char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<Char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  Text text;
  while (count > 0) text.push_back(digits[--count]);
  return text;
}

Text Dec(std::int64_t value) {
  if (value >= 0) return DecUnsigned(static_cast<std::uint64_t>(value));
  // Negate in unsigned arithmetic so that the smallest value does not overflow.
  return SB_T("-") + DecUnsigned(0 - static_cast<std::uint64_t>(value));
}

Text HexUpper(std::uint64_t value, int min_digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  Text text;
  do {
    text.insert(text.begin(), static_cast<Char>(kDigits[value & 0xF]));
    value >>= 4;
  } while (value != 0);
  while (static_cast<int>(text.size()) < min_digits) text.insert(text.begin(), Char('0'));
  return text;
}

Text AsciiToText(std::string_view ascii) {
  Text text;
  text.reserve(ascii.size());
  for (char c : ascii) {
#ifdef SPINDLEBAY_NARROW
    text.push_back(c);
#else
    text.push_back(static_cast<unsigned char>(c) > 127 ? Char('?') : static_cast<Char>(c));
#endif
  }
  return text;
}

std::string TextToAscii(TextView text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (Char c : text) {
#ifdef SPINDLEBAY_NARROW
    ascii.push_back(c);
#else
    ascii.push_back(static_cast<std::uint32_t>(c) < 128 ? static_cast<char>(c) : '?');
#endif
  }
  return ascii;
}

std::int64_t ParseDecimal(TextView text, std::int64_t fallback) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size() || text[i] < '0' || text[i] > '9') return fallback;
  std::uint64_t value = 0;
  const std::uint64_t limit =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - '0');
    if (value > (limit - digit) / 10) return fallback;
    value = value * 10 + digit;
  }
  return negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
}

Text FirstWord(TextView text) {
  const auto blank = text.find(Char(' '));
  return Text(blank == TextView::npos ? text : text.substr(0, blank));
}

Text RemoveAllNoCase(TextView text, TextView what) {
  if (what.empty()) return Text(text);
  Text result;
  std::size_t i = 0;
  while (i < text.size()) {
    bool match = i + what.size() <= text.size();
    for (std::size_t k = 0; match && k < what.size(); ++k) {
      match = AsciiLower(text[i + k]) == AsciiLower(what[k]);
    }
    if (match) {
      i += what.size();
    } else {
      result.push_back(text[i++]);
    }
  }
  return result;
}

}  // namespace sb
