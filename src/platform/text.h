// The program's string type and the few text helpers every floor shares.
//
// The 64-bit program keeps its texts in UTF-16 (std::wstring) and calls the W forms of
// the platform; the 32-bit program keeps them as single-byte strings in Windows' ANSI code
// page (std::string) and calls the A forms. SPINDLEBAY_NARROW selects the second.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#ifdef SPINDLEBAY_NARROW
#define SB_T(literal) literal
#else
#define SB_T(literal) L##literal
#endif

namespace sb {

#ifdef SPINDLEBAY_NARROW
using Char = char;
inline constexpr bool kWideText = false;
#else
using Char = wchar_t;
inline constexpr bool kWideText = true;
#endif
using Text = std::basic_string<Char>;
using TextView = std::basic_string_view<Char>;

// Decimal text of a signed or unsigned number: no grouping, no leading zeros.
Text Dec(std::int64_t value);
Text DecUnsigned(std::uint64_t value);

// Upper-case hexadecimal text, padded with leading zeros to at least min_digits.
Text HexUpper(std::uint64_t value, int min_digits);

// Widens (or copies) text whose characters are all ASCII. Bytes above 127 become '?'
// in the wide form, so the result never depends on a code page.
Text AsciiToText(std::string_view ascii);

// Narrows ASCII text; characters outside ASCII become '?'.
std::string TextToAscii(TextView text);

// Parses a decimal number at the start of the text (optional sign, then digits);
// returns fallback when there is no digit or the value does not fit in 64 bits.
std::int64_t ParseDecimal(TextView text, std::int64_t fallback = 0);

// The part of text before its first blank (the whole text when it has none).
Text FirstWord(TextView text);

// Removes every occurrence of what from text, matching ASCII letters without regard to case.
Text RemoveAllNoCase(TextView text, TextView what);

}  // namespace sb
