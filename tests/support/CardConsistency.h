#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PageCheck.h"
#include "PageImage.h"

// What the tests ask of a page beyond the product's checker (PageCheck.h).

// The file of a name; slot 0xFFFF when there is none.
PageFile FindFile(const CPageImage& page, std::string name);
// Puts a file on a page of the usual layout along the given chain: entry
// (its first block set to chain[0]) in slot, data in the chain's blocks, and
// the allocation entries that link them.
void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data);

// How the files of after stand against those of before, by their 12 name
// bytes: the ones gone, the ones whose bytes differ, and the ones new.
struct FileChanges {
  std::vector<std::string> gone, changed, added;
};
FileChanges CompareFiles(const CPageImage& before, const CPageImage& after);

// The checker's findings as texts, nothing when consistent. Header checksums
// are left out (test files carry made-up headers), and so, when allowed, are
// used blocks that no file holds.
std::vector<std::string> ConsistencyProblems(const CPageImage& page,
                                             bool allowUnnamedBlocks = false);
