#pragma once

#include "CardFormat.h"
#include "VmuBuffer.h"
#include "VmuTimestamp.h"

// One 32-byte directory entry. Type 0 marks a free entry, 0xCC a game file,
// any other value a data file.
class CVmuDirEntry : public CVmuBuffer {
 public:
  static constexpr std::uint32_t kLength = card_format::kDirEntrySize;
  static constexpr std::uint8_t kFree = 0x00;
  static constexpr std::uint8_t kGame = 0xCC;
  static constexpr std::uint32_t kFileNameLength = 12;

  CVmuDirEntry() : CVmuBuffer(kLength) {}

  std::uint8_t GetType() const { return GetData()[0]; }
  void SetType(std::uint8_t type) { GetData()[0] = type; }
  std::uint8_t GetCopyProtect() const { return GetData()[1]; }
  void SetCopyProtect(std::uint8_t value) { GetData()[1] = value; }
  std::uint16_t GetFirstBlock() const { return GetWord(2); }
  void SetFirstBlock(std::uint16_t block) { SetWord(2, block); }

  // Copies the 12 name bytes and a terminating zero: destination holds 13.
  void GetFileName(char* destination) const { CopyText(4, kFileNameLength, destination); }
  // Takes exactly 12 bytes from source.
  void SetFileName(const char* source);

  void GetTimestamp(CVmuTimestamp& timestamp) const { timestamp.CopyFrom(GetData() + 16); }
  void SetTimestamp(const CVmuTimestamp& timestamp);

  std::uint16_t GetSize() const { return GetWord(24); }
  void SetSize(std::uint16_t blocks) { SetWord(24, blocks); }
  std::uint16_t GetHeaderOffset() const { return GetWord(26); }
  void SetHeaderOffset(std::uint16_t value) { SetWord(26, value); }
};
