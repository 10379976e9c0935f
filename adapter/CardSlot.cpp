#include "CardSlot.h"

std::string CardSlot::Name() const {
  return {static_cast<char>('A' + port), static_cast<char>('0' + slot)};
}

bool CardSlot::FromName(const std::string& name, CardSlot& slot) {
  if (name.size() != 2) return false;
  const char letter = static_cast<char>(name[0] & ~0x20);  // either case
  if (letter < 'A' || letter > 'D' || (name[1] != '1' && name[1] != '2')) return false;
  slot.port = static_cast<std::uint8_t>(letter - 'A');
  slot.slot = static_cast<std::uint8_t>(name[1] - '0');
  return true;
}
