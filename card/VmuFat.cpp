#include "VmuFat.h"

bool CVmuFat::GetEntry(std::uint16_t n, std::uint16_t& out) {
  const std::uint8_t* bytes = nullptr;
  if (!Read(2u * n, bytes, 2, false)) return false;
  out = card_format::GetLe16(bytes);
  return true;
}

bool CVmuFat::SetEntry(std::uint16_t n, std::uint16_t value) {
  std::uint8_t bytes[2];
  card_format::PutLe16(bytes, value);
  return Write(2u * n, bytes, 2, false);
}

bool CVmuFat::CountFree(std::uint16_t& out) {
  std::uint16_t count = 0;
  for (std::uint16_t n = 0; n < kUserBlocks; ++n) {
    std::uint16_t entry = 0;
    if (!GetEntry(n, entry)) return false;
    if (entry == kFree) ++count;
  }
  out = count;
  return true;
}

bool CVmuFat::FindFirstFree(std::uint16_t& out) {
  for (std::uint16_t n = 0; n < kUserBlocks; ++n) {
    std::uint16_t entry = 0;
    if (!GetEntry(n, entry)) return false;
    if (entry == kFree) {
      out = n;
      return true;
    }
  }
  return true;
}

bool CVmuFat::FindLastFree(std::uint16_t& out) {
  for (int n = kUserBlocks - 1; n >= 0; --n) {
    std::uint16_t entry = 0;
    if (!GetEntry(static_cast<std::uint16_t>(n), entry)) return false;
    if (entry == kFree) {
      out = static_cast<std::uint16_t>(n);
      return true;
    }
  }
  return true;
}
