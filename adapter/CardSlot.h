#pragma once

#include <cstdint>
#include <string>

// Where a card sits: controller port A to D (0 to 3) and slot 1 or 2, named
// as the user writes it ("A1", "D2").
struct CardSlot {
  std::uint8_t port = 0;
  std::uint8_t slot = 1;

  bool operator==(const CardSlot& other) const { return port == other.port && slot == other.slot; }

  std::string Name() const;
  // Takes "A1" to "D2", the letter in either case; false for anything else.
  static bool FromName(const std::string& name, CardSlot& slot);
};
