#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "PageImage.h"

// A memory card page as these tests understand it, written from the card's
// public layout and none of the product's code: root block 255, allocation
// table 254, directory 253 down to 241 (208 slots, of which the root counts
// 200 for new files), files in user blocks 0 to 199. The random cards and
// everything the property tests expect of them are worked out here.
namespace card_model {
using Bytes = std::vector<std::uint8_t>;
using Chain = std::vector<std::uint16_t>;

constexpr std::uint16_t kUserBlocks = 200;
constexpr std::uint16_t kSlots = 208;
constexpr std::uint16_t kNewFileSlots = 200;
constexpr std::uint16_t kFree = 0xFFFC, kEnd = 0xFFFA;
constexpr std::uint8_t kData = 0x33, kGame = 0xCC;

// A directory entry's fields, and a VMI file's, as byte offsets.
enum Entry : std::size_t {
  kType = 0,
  kProtect = 1,
  kFirst = 2,
  kName = 4,
  kStamp = 16,
  kSize = 24
};
enum VmiField : std::size_t {
  kVmiTexts = 0x04,  // description and copyright, 32 bytes each
  kVmiDate = 0x44,   // year (16 bits), month, day, hour, minute, second, weekday (Sunday 0)
  kVmiVersion = 0x4C,
  kVmiNumber = 0x4E,
  kVmiResource = 0x50,  // the VMS file's name, 8 bytes
  kVmiName = 0x58,      // the card file's, 12 bytes
  kVmiMode = 0x64,      // 1: copy-protected, 2: a game
  kVmiSize = 0x68,      // in bytes, 32 bits
  kVmiLength = 0x6C
};

inline int Pick(std::mt19937& rng, int low, int high) {
  return low + static_cast<int>(rng() % static_cast<std::uint32_t>(high - low + 1));
}

struct File {
  Bytes entry;  // the 32 directory bytes
  Bytes data;   // its blocks, storage order
  Chain chain;  // where the generator put them, in file order

  std::string Name() const { return {entry.begin() + kName, entry.begin() + kName + 12}; }
  std::string Shown() const;  // the name up to its first zero byte
  std::uint16_t Size() const {
    return static_cast<std::uint16_t>(entry[kSize] | entry[kSize + 1] << 8);
  }
  std::uint16_t First() const {
    return static_cast<std::uint16_t>(entry[kFirst] | entry[kFirst + 1] << 8);
  }
  bool Game() const { return entry[kType] == kGame; }
};

// How a walk along the table from a first block ended, and the blocks it met.
enum class End { Last, Free, OffPage, System, Loop };
struct Walk {
  Chain blocks;
  End end = End::Last;
  std::uint32_t stop = 0;  // the block it ended at
};

struct Card {
  std::map<std::uint16_t, File> files;  // by slot
  std::array<std::uint16_t, 256> fat{};
  std::map<std::uint16_t, Bytes> leftovers;  // what deleted files left in free blocks
  std::uint32_t noise = 0;                   // seed of the bytes nothing ever wrote

  Walk WalkFrom(std::uint32_t first) const;
  // Its walk reaches the end marker after exactly as many blocks as its size.
  bool Sound(std::uint16_t slot) const;
  std::uint16_t FreeBlocks() const;
  Chain FreeHighestFirst() const;
  int FreeSlot() const;  // the lowest a new file may take; -1 for none
  bool HasGame() const;
  // The file's entry names chain[0], the table links the chain.
  void Place(std::uint16_t slot, File file, const Chain& chain);
  // Clears the slot, frees the given blocks; their bytes stay as they were.
  void Remove(std::uint16_t slot, const Chain& freed);
};

// A formatted page that has seen a life of saves and deletes: perhaps a game
// from block 0, data files along chains through the holes deleted files left
// (now and then scattered as another tool writes them, or in the last slots).
Card Generate(std::uint32_t seed);
// A file of size blocks with a header, texts, a date, perhaps a checksum.
File MakeFile(std::mt19937& rng, bool game, std::uint16_t size, const std::string& name);
// 12 name bytes no file of the card has, padded with blanks or zero bytes.
std::string NewName(const Card& card, std::mt19937& rng);

// How Damage harms a card; it falls back on unnamed blocks when a card has
// nothing for the chosen harm.
enum class Harm {
  Size,
  Loop,
  OffPage,
  System,
  FreeBlock,
  Shared,
  DuplicateName,
  Unnamed,
  Checksum,
  SystemChain,
  kCount
};
// Harms the card and returns the lines Check must report for it.
std::vector<std::string> Damage(Card& card, Harm harm, std::mt19937& rng);

CPageImage Render(const Card& card);
// The card a page holds, each file along its walk.
Card Read(const CPageImage& page);
std::string FirstDifference(const CPageImage& actual, const CPageImage& expected);

// The files as a download writes them.
Bytes Dci(const File& file);
Bytes Vmi(const File& file, const std::string& resource);
// The header's texts as a row shows them: short, long, application.
std::array<std::string, 3> HeaderTexts(const File& file);
std::uint16_t Crc(Bytes data);  // over a data file, its checksum field taken as zero
std::string Quoted(const File& file);
std::string BlocksText(std::size_t count);  // "1 block", "3 blocks"
}  // namespace card_model
