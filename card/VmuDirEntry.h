#pragma once

#include <string>

#include "CardFormat.h"
#include "VmuBuffer.h"
#include "VmuTimestamp.h"

// One 32-byte directory entry (card_format::kEntry...): its type byte marks
// a free entry, a game file, or (any other value) a data file.
class CVmuDirEntry : public CVmuBuffer {
 public:
  static constexpr std::uint32_t kLength = card_format::kDirEntrySize;
  static constexpr std::uint8_t kFree = card_format::kTypeFree;
  static constexpr std::uint8_t kData = card_format::kTypeData;
  static constexpr std::uint8_t kGame = card_format::kTypeGame;
  static constexpr std::uint32_t kFileNameLength = card_format::kFileNameLength;

  CVmuDirEntry() : CVmuBuffer(kLength) {}

  std::uint8_t GetType() const { return GetData()[card_format::kEntryType]; }
  void SetType(std::uint8_t type) { GetData()[card_format::kEntryType] = type; }
  std::uint8_t GetCopyProtect() const { return GetData()[card_format::kEntryCopyProtect]; }
  void SetCopyProtect(std::uint8_t value) { GetData()[card_format::kEntryCopyProtect] = value; }
  std::uint16_t GetFirstBlock() const { return GetWord(card_format::kEntryFirstBlock); }
  void SetFirstBlock(std::uint16_t block) { SetWord(card_format::kEntryFirstBlock, block); }

  // Copies the 12 name bytes and a terminating zero: destination holds 13.
  void GetFileName(char* destination) const {
    CopyText(card_format::kEntryName, kFileNameLength, destination);
  }
  // Takes exactly 12 bytes from source.
  void SetFileName(const char* source);
  // The 12 name bytes, as they lie in the entry.
  std::string GetNameBytes() const;
  // The name as messages quote it (card_format::DisplayName).
  std::string GetDisplayName() const { return card_format::DisplayName(GetNameBytes()); }
  bool HasSameName(const CVmuDirEntry& other) const {
    return GetNameBytes() == other.GetNameBytes();
  }

  void GetTimestamp(CVmuTimestamp& timestamp) const {
    timestamp.CopyFrom(GetData() + card_format::kEntryStamp);
  }
  void SetTimestamp(const CVmuTimestamp& timestamp);

  std::uint16_t GetSize() const { return GetWord(card_format::kEntrySize); }
  void SetSize(std::uint16_t blocks) { SetWord(card_format::kEntrySize, blocks); }
  std::uint16_t GetHeaderOffset() const { return GetWord(card_format::kEntryHeaderOffset); }
  void SetHeaderOffset(std::uint16_t value) { SetWord(card_format::kEntryHeaderOffset, value); }
};
