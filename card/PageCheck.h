#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "PageImage.h"

// A page's file system judged straight from its bytes (storage order), with
// nothing of the cache or the link: what Check reports, what Repair may mend,
// and what the tests use to judge what the commands left.

// A directory entry in use and the blocks its allocation chain runs through.
struct PageFile {
  std::uint16_t slot = 0xFFFF;      // 0xFFFF: no such file
  std::vector<std::uint8_t> entry;  // its 32 bytes
  std::string name;                 // the 12 name bytes
  // Every block the entry reaches, whatever its size says (card_format::WalkChain).
  std::vector<std::uint16_t> chain;
  // What is wrong with the chain, its length against the entry's size
  // included, and the block that names.
  card_format::ChainFault fault = card_format::ChainFault::None;
  std::uint16_t faultBlock = 0;

  bool IsSound() const { return fault == card_format::ChainFault::None; }
};

// What can be wrong with a page, one kind per way it can go wrong.
enum class PageFault {
  NotFormatted,
  ImplausibleRoot,  // a layout field no card could hold
  SystemChain,      // a root, table or directory block not chained as the root places it
  ChainLoops,
  ChainEntersSystem,  // into the root block, the table or the directory
  ChainLeavesPage,
  ChainOverFreeBlock,  // an entry's chain reaches a block the table marks free
  SizeDisagrees,       // a whole chain longer or shorter than its entry's size
  SharedBlock,         // a block in two files' chains
  DuplicateName,
  UnnamedBlock,   // a used user block that no chain holds
  WrongChecksum,  // a data file's header checksum does not match its bytes
};

struct PageFinding {
  PageFault fault;
  std::uint16_t slot;          // the entry concerned, 0xFFFF for none
  std::uint16_t block;         // the block concerned, 0xFFFF for none
  std::string text;            // as the user reads it
  std::uint16_t length = 0;    // for a size: the chain's length
  std::uint16_t checksum = 0;  // for a checksum: the one the file's bytes give
};

struct PageReport {
  std::vector<PageFinding> findings;  // empty for a sound page
  bool IsSound() const { return findings.empty(); }
  std::vector<std::uint16_t> UnnamedBlocks() const;
};

PageReport CheckPage(const CPageImage& page);

// The files of every slot of the page's directory, in slot order (none when
// the root's layout cannot be trusted).
std::vector<PageFile> FilesOf(const CPageImage& page);
// A file's bytes along its chain, in storage order.
std::vector<std::uint8_t> ChainBytes(const CPageImage& page,
                                     const std::vector<std::uint16_t>& chain);
// The user blocks (0 to 199) the allocation table marks free, highest first.
std::vector<std::uint16_t> FreeUserBlocks(const CPageImage& page);
// The checksum a data file's header should carry, from the file's bytes: over
// the extent its header declares, zero-padded past its blocks.
std::uint16_t DataFileChecksum(std::vector<std::uint8_t> file);
