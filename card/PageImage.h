#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "Result.h"
#include "VmuDirEntry.h"

// One card page of card_format::kPageSize bytes in storage order, the order in
// which the storage layer sees the card (every multi-byte field
// little-endian). Wire order, the order of DCM backups, reverses every aligned
// group of four.
class CPageImage {
 public:
  // The layout of a freshly formatted page.
  static constexpr std::uint16_t kRootBlock = card_format::kRootBlock;
  static constexpr std::uint16_t kFatBlock = 254;
  static constexpr std::uint16_t kDirectoryStart = 253;
  static constexpr std::uint16_t kDirectoryBlocks = 13;
  static constexpr std::uint16_t kEntryCount = 200;

  CPageImage();  // every byte 0

  // A freshly formatted page: root block with the format marker, allocation
  // table in block 254, directory in 253 down to 241, every user block free.
  // stamp is the root block's BCD date and time (8 bytes), or none.
  static CPageImage Formatted(const std::uint8_t* stamp = nullptr);
  // Formatted now, stamped with the local date and time as the console does.
  static CPageImage FormattedNow();

  std::uint8_t* GetData() { return bytes_.data(); }
  const std::uint8_t* GetData() const { return bytes_.data(); }
  std::uint8_t* GetBlock(std::uint16_t block) {
    return bytes_.data() + block * card_format::kBlockSize;
  }

  // Places a file as a formatted page keeps it: its entry in directory slot n,
  // its blocks (storage order, entry.GetSize() of them) from the entry's first
  // block downward (upward for a game), and their allocation chain. Refuses,
  // changing nothing, a slot outside the directory or a run that leaves the page.
  bool PlaceFile(std::uint16_t slot, const CVmuDirEntry& entry, const std::uint8_t* blocks);

  std::uint16_t GetFatEntry(std::uint16_t block) const;
  void SetFatEntry(std::uint16_t block, std::uint16_t value);

  // Writes pages (1 or 4, in order) to a new file, in the byte order that its
  // extension names (card_format::ImageOrderFor): .dcm wire order; .bin, .vmu
  // and .vmd storage order. Refuses to overwrite an existing file.
  static Result WriteNewFile(const std::string& path, const std::vector<CPageImage>& pages);

 private:
  std::vector<std::uint8_t> bytes_;
};
