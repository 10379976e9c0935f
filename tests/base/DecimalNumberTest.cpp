#include "DecimalNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The one reading of a number shared by the Settings dialog, the settings
// file and the command line.
TEST(ParseDecimal, TakesDigitsWithBlanksAroundAndNothingElse) {
  const std::pair<std::string, std::uint32_t> numbers[] = {{"0", 0},
                                                           {"010", 10},
                                                           {" \t956\t ", 956},
                                                           {"4294967295", 4294967295u},
                                                           {"000000000004294967295", 4294967295u}};
  for (const auto& [text, expected] : numbers) {
    std::uint32_t value = 7;
    EXPECT_EQ(ParseDecimal(text, value), DecimalParse::Number) << text;
    EXPECT_EQ(value, expected) << text;
  }

  // The last: an Arabic three.
  const std::string notNumbers[] = {"",    " \t ", "0x3BC", "-1",  "+1",           "1\n",
                                    "\r5", "12 3", "5.0",   "1e3", "99999999999x", "\xD9\xA3"};
  for (const std::string& text : notNumbers) {
    std::uint32_t value = 7;
    EXPECT_EQ(ParseDecimal(text, value), DecimalParse::NotANumber) << text;
    EXPECT_EQ(value, 7u) << text;
  }
}

TEST(ParseDecimal, ANumberAboveTheLimitIsTooLargeWithoutWrapping) {
  std::uint32_t value = 7;
  EXPECT_EQ(ParseDecimal("4294967296", value), DecimalParse::TooLarge);
  EXPECT_EQ(ParseDecimal("18446744073709551617", value), DecimalParse::TooLarge);  // 2^64 + 1
  EXPECT_EQ(ParseDecimal("65536", value, 0xFFFF), DecimalParse::TooLarge);
  EXPECT_EQ(value, 7u);
  EXPECT_EQ(ParseDecimal("65535", value, 0xFFFF), DecimalParse::Number);
  EXPECT_EQ(value, 65535u);
}

}  // namespace
