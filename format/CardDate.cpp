#include "CardDate.h"

#include "CardFormat.h"

namespace card_format {

bool IsPossible(const Date& date) {
  return date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= 31 && date.hour <= 23 && date.minute <= 59 && date.second <= 59 &&
         date.weekday <= 6;
}

Date FromStamp(const std::uint8_t* stamp) {
  Date date;
  date.year = FromBcd(stamp[0]) * 100 + FromBcd(stamp[1]);
  date.month = FromBcd(stamp[2]);
  date.day = FromBcd(stamp[3]);
  date.hour = FromBcd(stamp[4]);
  date.minute = FromBcd(stamp[5]);
  date.second = FromBcd(stamp[6]);
  date.weekday = FromBcd(stamp[7]);
  return date;
}

void ToStamp(const Date& date, std::uint8_t* stamp) {
  const unsigned fields[kStampLength] = {date.year / 100, date.year % 100, date.month,
                                         date.day,        date.hour,       date.minute,
                                         date.second,     date.weekday};
  for (std::uint32_t i = 0; i < kStampLength; ++i)
    stamp[i] = ToBcd(fields[i]);
}

bool IsPossibleStamp(const std::uint8_t* stamp) {
  for (std::uint32_t i = 0; i < kStampLength; ++i)
    if ((stamp[i] >> 4) > 9 || (stamp[i] & 0x0F) > 9) return false;
  return IsPossible(FromStamp(stamp));
}

unsigned WeekdayOf(unsigned year, unsigned month, unsigned day) {
  // Days since 1 March of the year 400 before year 0 (the calendar repeats
  // every 400 years, a whole number of weeks), January and February counted
  // at the end of the year before, so that the leap day falls last.
  const unsigned y = year + 400 - (month <= 2 ? 1 : 0);
  const unsigned m = month <= 2 ? month + 9 : month - 3;
  const unsigned days = 365 * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + day - 1;
  return (days + 2) % 7;  // that day was a Wednesday
}

}  // namespace card_format
