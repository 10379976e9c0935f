#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PageImage.h"

// A page's file system read straight from its bytes (storage order), with
// nothing of the card layer, so that tests can judge what the commands left.

// A directory entry in use and the blocks its allocation chain runs through.
struct PageFile {
  std::uint16_t slot = 0xFFFF;       // 0xFFFF: no such file
  std::vector<std::uint8_t> entry;   // its 32 bytes
  std::string name;                  // the 12 name bytes
  std::vector<std::uint16_t> chain;  // as far as it is sound
  std::string problem;               // empty when the chain is sound
};

// The files of the page's directory, in slot order; the one of a name.
std::vector<PageFile> FilesOf(const CPageImage& page);
PageFile FindFile(const CPageImage& page, std::string name);
// A file's bytes along its chain, in storage order.
std::vector<std::uint8_t> ChainBytes(const CPageImage& page,
                                     const std::vector<std::uint16_t>& chain);
// The user blocks (0 to 199) the allocation table marks free, highest first.
std::vector<std::uint16_t> FreeUserBlocks(const CPageImage& page);
// Puts a file on a page of the usual layout along the given chain: entry
// (its first block set to chain[0]) in slot, data in the chain's blocks, and
// the allocation entries that link them.
void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data);

// What is wrong with the page, nothing when consistent: an entry whose chain
// is not sound, a block in two chains, a name on two entries, a system run
// (root, table, directory) not chained as the root block places it, or
// (unless allowed) a used user block that no chain holds.
std::vector<std::string> ConsistencyProblems(const CPageImage& page,
                                             bool allowUnnamedBlocks = false);
