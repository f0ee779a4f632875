#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "platform/text.h"
#include "support/fake_view.h"

namespace sb {
namespace {

using test::A;

TEST(Text, DecimalTexts) {
  EXPECT_EQ(A(Dec(0)), "0");
  EXPECT_EQ(A(Dec(-1)), "-1");
  EXPECT_EQ(A(Dec(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
  EXPECT_EQ(A(DecUnsigned(4294967295u)), "4294967295");
  EXPECT_EQ(A(DecUnsigned(std::numeric_limits<std::uint64_t>::max())), "18446744073709551615");
}

TEST(Text, HexUpperPadsToMinimum) {
  EXPECT_EQ(A(HexUpper(0, 4)), "0000");
  EXPECT_EQ(A(HexUpper(0xabc, 4)), "0ABC");
  EXPECT_EQ(A(HexUpper(0x12345, 4)), "12345");
  EXPECT_EQ(A(HexUpper(0xFFFFFFFF, 8)), "FFFFFFFF");
}

TEST(Text, ParseDecimal) {
  EXPECT_EQ(ParseDecimal(SB_T("15")), 15);
  EXPECT_EQ(ParseDecimal(SB_T("-3")), -3);
  EXPECT_EQ(ParseDecimal(SB_T("12abc")), 12);
  EXPECT_EQ(ParseDecimal(SB_T(""), -7), -7);
  EXPECT_EQ(ParseDecimal(SB_T("x1"), -7), -7);
  EXPECT_EQ(ParseDecimal(SB_T("99999999999999999999"), -7), -7);
}

// The whole signed 64-bit range reads; one past either end is the fallback.
TEST(Text, ParseDecimalAtTheEndsOf64Bits) {
  constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();
  const struct {
    const Char* text;
    std::int64_t value;
  } cases[] = {
      {SB_T("-9223372036854775808"), kLowest},
      {SB_T("9223372036854775807"), kHighest},
      {SB_T("-9223372036854775809"), -7},
      {SB_T("9223372036854775808"), -7},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text, -7), c.value) << A(c.text);
}

TEST(Text, FirstWord) {
  const struct {
    const Char* text;
    const char* first;
  } cases[] = {
      {SB_T("two words"), "two"},     {SB_T("\\\\.\\PhysicalDrive0"), "\\\\.\\PhysicalDrive0"},
      {SB_T(" leading"), ""},         {SB_T(""), ""},
      {SB_T("one two three"), "one"},
  };
  for (const auto& c : cases) EXPECT_EQ(A(FirstWord(c.text)), c.first) << A(c.text);
}

TEST(Text, RemoveAllNoCase) {
  EXPECT_EQ(A(RemoveAllNoCase(SB_T("\\\\.\\physicalDRIVE12"), SB_T("\\\\.\\PhysicalDrive"))), "12");
  EXPECT_EQ(A(RemoveAllNoCase(SB_T("aXbxc"), SB_T("x"))), "abc");
  EXPECT_EQ(A(RemoveAllNoCase(SB_T("abc"), SB_T(""))), "abc");
}

TEST(Text, AsciiConversionsNeverDependOnACodePage) {
  EXPECT_EQ(A(AsciiToText("Disk 1")), "Disk 1");
  if constexpr (kWideText) {
    EXPECT_EQ(A(AsciiToText("\xE9")), "?");
  }
}

}  // namespace
}  // namespace sb
