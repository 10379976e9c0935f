#pragma once

#include "VmuBuffer.h"

// A file's date and time: eight bytes of packed BCD (century, year, month,
// day, hour, minute, second, and a byte nothing reads).
class CVmuTimestamp : public CVmuBuffer {
 public:
  static constexpr std::uint32_t kLength = 8;

  CVmuTimestamp() : CVmuBuffer(kLength) {}

  // This moment in local time, the weekday (0 for Sunday) in the last byte,
  // as the console stamps what it writes.
  static CVmuTimestamp Now();

  unsigned GetCentury() const { return Decode(0); }
  unsigned GetYear() const { return Decode(1); }
  unsigned GetMonth() const { return Decode(2); }
  unsigned GetDay() const { return Decode(3); }
  unsigned GetHour() const { return Decode(4); }
  unsigned GetMinute() const { return Decode(5); }
  unsigned GetSecond() const { return Decode(6); }

 private:
  // High nibble tens, low nibble units, with no check that either is a digit:
  // 0x3A reads as 40, as the card's own software shows it.
  unsigned Decode(std::uint32_t index) const {
    const std::uint8_t byte = GetData()[index];
    return (byte >> 4) * 10u + (byte & 0x0Fu);
  }
};
