#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PageImage.h"

// A page's file system read straight from its bytes (storage order), with
// nothing of the card layer, so that tests can judge what the commands left.

// A directory entry in use and the blocks its allocation chain runs through.
struct PageFile {
  std::uint16_t slot = 0;
  std::uint8_t type = 0;
  std::vector<std::uint8_t> entry;  // its 32 bytes
  std::string name;                 // the 12 bytes
  std::uint16_t first = 0, size = 0;
  std::vector<std::uint16_t> chain;  // as far as it is sound
  std::string problem;               // empty when the chain is sound
};

// The files of the page's directory, in slot order.
std::vector<PageFile> FilesOf(const CPageImage& page);
// The entry of that name, or none (slot 0xFFFF).
PageFile FindFile(const CPageImage& page, const std::string& name);
// A file's bytes along its chain, in storage order.
std::vector<std::uint8_t> ChainBytes(const CPageImage& page,
                                     const std::vector<std::uint16_t>& chain);
// Puts a file on a page with the usual layout: entry (its first block set to
// chain[0]) in directory slot n, data (storage order) in the chain's blocks,
// and the allocation entries that link them.
void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data);
// The user blocks (0 to 199) the allocation table marks free, highest first.
std::vector<std::uint16_t> FreeUserBlocks(const CPageImage& page);

// What is wrong with the page, empty when nothing: an entry whose chain is
// not sound, a block in two chains, a name on two entries, a system block's
// chain that is not as the root block places it, or (unless allowed) a used
// user block that no entry's chain holds.
std::vector<std::string> ConsistencyProblems(const CPageImage& page,
                                             bool allowUnnamedBlocks = false);
