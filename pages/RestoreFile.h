#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

// The pages a restore may write, read from a DCM backup or a card image and
// held in wire order, the order the restore sends, whatever order the file
// keeps them in.
struct RestoreFile {
  std::vector<std::uint8_t> wire;                   // pages times card_format::kPageSize bytes
  std::uint16_t pages = 0;                          // 1, or 4 for a card image of four pages
  const std::uint8_t* Page(std::uint16_t n) const;  // n from 1 to pages
};

// Reads the file at path. One shorter than a page is refused
// (message::kCannotRead), since no backup held what its missing end would
// put on the card; one of exactly four pages gives all four; any other gives
// its first page. A .bin, .vmu or .vmd card image keeps the card's storage order
// and is turned into wire order; any other name is read as a DCM file.
Result LoadRestoreFile(const std::string& path, RestoreFile& file);
