#include "DecimalNumber.h"

namespace {
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
}  // namespace

DecimalParse ParseDecimal(std::string_view text, std::uint32_t& value, std::uint32_t limit) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  if (text.empty()) return DecimalParse::NotANumber;

  // Every character is checked, so that "99999999999x" is no number rather
  // than a number too large.
  std::uint64_t number = 0;
  bool tooLarge = false;
  for (const char c : text) {
    if (c < '0' || c > '9') return DecimalParse::NotANumber;
    if (!tooLarge) number = number * 10 + static_cast<std::uint64_t>(c - '0');
    tooLarge = tooLarge || number > limit;
  }
  if (tooLarge) return DecimalParse::TooLarge;
  value = static_cast<std::uint32_t>(number);
  return DecimalParse::Number;
}
