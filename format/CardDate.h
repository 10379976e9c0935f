#pragma once

#include <cstdint>

// A card file's date as the directory entry keeps it: eight bytes of packed
// BCD (century, year, month, day, hour, minute, second, weekday), the weekday
// counted from Monday = 0. The computer's clock and the VMI count the weekday
// from Sunday = 0; the two meet only through SundayBased and MondayBased.
namespace card_format {

struct Date {
  unsigned year = 0;  // the whole year: century * 100 + year
  unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
  unsigned weekday = 0;  // Monday = 0
};

// Whether the card can hold it as a date: a year up to 9999, month 1 to 12,
// day 1 to 31, hour up to 23, minute and second up to 59, weekday up to 6.
bool IsPossible(const Date& date);

// The stamp's fields as FromBcd reads them, and back as ToBcd writes them.
Date FromStamp(const std::uint8_t* stamp);
void ToStamp(const Date& date, std::uint8_t* stamp);
// Whether every byte of the stamp is two decimal digits and the date they
// make IsPossible.
bool IsPossibleStamp(const std::uint8_t* stamp);

// The weekday counted from Sunday = 0 for the card's (Monday = 0), and the
// card's for one counted from Sunday. A day past 6 is no weekday and stays
// as it is.
constexpr unsigned SundayBased(unsigned mondayBased) {
  return mondayBased > 6 ? mondayBased : (mondayBased + 1) % 7;
}
constexpr unsigned MondayBased(unsigned sundayBased) {
  return sundayBased > 6 ? sundayBased : (sundayBased + 6) % 7;
}

// The card's weekday (Monday = 0) of a day of the Gregorian calendar.
unsigned WeekdayOf(unsigned year, unsigned month, unsigned day);

}  // namespace card_format
