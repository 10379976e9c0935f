#pragma once

#include "CardFormat.h"
#include "VmuBuffer.h"

// A file's date and time: eight bytes of packed BCD (century, year, month,
// day, hour, minute, second, and the weekday, which nothing here reads).
class CVmuTimestamp : public CVmuBuffer {
 public:
  static constexpr std::uint32_t kLength = card_format::kStampLength;

  CVmuTimestamp() : CVmuBuffer(kLength) {}

  // This moment in local time, the weekday (0 for Monday) in the last byte,
  // as the console stamps what it writes.
  static CVmuTimestamp Now();

  unsigned GetCentury() const { return card_format::FromBcd(GetData()[0]); }
  unsigned GetYear() const { return card_format::FromBcd(GetData()[1]); }
  unsigned GetMonth() const { return card_format::FromBcd(GetData()[2]); }
  unsigned GetDay() const { return card_format::FromBcd(GetData()[3]); }
  unsigned GetHour() const { return card_format::FromBcd(GetData()[4]); }
  unsigned GetMinute() const { return card_format::FromBcd(GetData()[5]); }
  unsigned GetSecond() const { return card_format::FromBcd(GetData()[6]); }
};
