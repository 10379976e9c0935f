#include "CardDate.h"

#include <gtest/gtest.h>

using card_format::Date;

// 2026-12-07 is a Monday: 0 on the card, 1 counted from Sunday. Every day
// from 1900 to 2100 is checked against a count of days kept here, from
// 1 January 1900, a Monday, with the leap years as the calendar has them.
TEST(CardDate, TheWeekdayOfADateBothWays) {
  EXPECT_EQ(card_format::WeekdayOf(2026, 12, 7), 0u);
  EXPECT_EQ(card_format::SundayBased(0), 1u);
  EXPECT_EQ(card_format::MondayBased(1), 0u);
  EXPECT_EQ(card_format::SundayBased(6), 0u);  // Sunday
  EXPECT_EQ(card_format::MondayBased(0), 6u);
  EXPECT_EQ(card_format::SundayBased(7), 7u);  // no weekday stays none
  EXPECT_EQ(card_format::MondayBased(0xFF), 0xFFu);

  unsigned count = 0, wrong = 0;
  for (unsigned year = 1900; year <= 2100; ++year) {
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    const unsigned lengths[] = {31, leap ? 29u : 28u, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (unsigned month = 1; month <= 12; ++month)
      for (unsigned day = 1; day <= lengths[month - 1]; ++day, ++count)
        wrong += card_format::WeekdayOf(year, month, day) != count % 7;
  }
  EXPECT_EQ(wrong, 0u);
}

TEST(CardDate, ADateIsPossibleOnlyWithEveryFieldInItsRange) {
  const Date last{9999, 12, 31, 23, 59, 59, 6};
  EXPECT_TRUE(card_format::IsPossible(last));
  EXPECT_TRUE(card_format::IsPossible(Date{0, 1, 1, 0, 0, 0, 0}));
  for (int field = 0; field < 7; ++field) {
    Date over = last;
    unsigned* fields[] = {&over.year,   &over.month,  &over.day,    &over.hour,
                          &over.minute, &over.second, &over.weekday};
    ++*fields[field];
    EXPECT_FALSE(card_format::IsPossible(over)) << "field " << field;
  }
  EXPECT_FALSE(card_format::IsPossible(Date{2000, 0, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(card_format::IsPossible(Date{2000, 1, 0, 0, 0, 0, 0}));

  // As BCD, each byte must be two digits as well.
  std::uint8_t stamp[8] = {0x20, 0x00, 0x05, 0x21, 0x14, 0x48, 0x57, 0x06};
  EXPECT_TRUE(card_format::IsPossibleStamp(stamp));
  stamp[6] = 0x5A;  // 59 + 1 in FromBcd's reading, but no digit
  EXPECT_FALSE(card_format::IsPossibleStamp(stamp));
  stamp[6] = 0x60;
  EXPECT_FALSE(card_format::IsPossibleStamp(stamp));
}
