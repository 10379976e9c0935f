#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

// How a text read as an unsigned decimal number turned out.
enum class DecimalParse { Number, NotANumber, TooLarge };

// The one reading of a whole number that the user types or the settings file
// holds: optional blanks or tabs, decimal digits, optional blanks or tabs. A
// sign, hexadecimal notation or any other character makes it no number; a
// number above limit is too large. value changes only when a number is read.
DecimalParse ParseDecimal(std::string_view text, std::uint32_t& value,
                          std::uint32_t limit = std::numeric_limits<std::uint32_t>::max());
