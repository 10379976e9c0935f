#pragma once

#include "CardFormat.h"
#include "VmuRegion.h"

// The file allocation table: one 16-bit entry per card block, entry n at
// offset 2n. Free-block counts and searches look at the user area only.
class CVmuFat : public CVmuRegion {
 public:
  static constexpr std::uint16_t kFree = card_format::kFatFree;
  static constexpr std::uint16_t kLastBlock = card_format::kFatLastBlock;
  static constexpr std::uint16_t kUserBlocks = card_format::kUserBlocks;

  using CVmuRegion::CVmuRegion;

  bool GetEntry(std::uint16_t n, std::uint16_t& out);
  bool SetEntry(std::uint16_t n, std::uint16_t value);

  // Each stops at the first entry that cannot be read and returns false; out
  // is then unchanged. The searches leave out unchanged when no block is free.
  bool CountFree(std::uint16_t& out);
  bool FindFirstFree(std::uint16_t& out);
  bool FindLastFree(std::uint16_t& out);  // the highest free block
};
