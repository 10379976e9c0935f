#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file's blocks as the allocation table links them: from the directory
// entry's first block, each block's allocation entry names the next, and the
// last block's entry marks the end. The chain is sound when it reaches the
// end marker with exactly as many blocks as the entry's size, each on the
// page, none of them the root block, an allocation-table block or a
// directory block, and none twice.
struct CVmuChain {
  // Every block the entry reaches, in file order, whatever its size says
  // (card_format::FollowChain).
  std::vector<std::uint16_t> blocks;
  // Whether the chain reaches the end marker, so that its blocks are the
  // file's (unless another entry reaches them as well), even when the entry's
  // size disagrees.
  bool ended = false;
  // Empty for a sound chain; otherwise what is wrong, in words that follow
  // "its blocks on the memory card are damaged (" in a message.
  std::string fault;

  bool IsSound() const { return fault.empty(); }
};
