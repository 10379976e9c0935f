#pragma once

#include <vector>

#include "CardFormat.h"
#include "VmuChain.h"
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
  // Up to count free user blocks, from the highest downward, as the console
  // allocates them; fewer when fewer are free.
  bool FindFreeBlocks(std::uint16_t count, std::vector<std::uint16_t>& out);

  // Walks the chain from a file's first block as far as it leads, and judges
  // it against the entry's size (card_format::WalkChain); the verdict is in
  // out.fault. directory is the page's directory, whose blocks (like this
  // table's and the root block) no file may use. False only when an entry
  // cannot be read; out is then unchanged.
  bool ReadChain(std::uint16_t first, std::uint16_t size, const CVmuRegion& directory,
                 CVmuChain& out);
};
