#pragma once

#include "CardFormat.h"
#include "VmuBuffer.h"

// A file's header block (card_format::kDataHeaderBlock or kGameHeaderBlock
// along its chain). It carries the descriptions shown for the file, the icon's
// palette and the first icon frame's start, and a data file's checksum; the
// rest is the file's own.
class CVmuFileHeader : public CVmuBuffer {
 public:
  static constexpr std::uint32_t kLength = card_format::kBlockSize;

  CVmuFileHeader() : CVmuBuffer(kLength) {}

  // Each copies its field and a terminating zero: 17, 33 and 17 bytes.
  bool GetShortDescription(char* destination) const {
    CopyText(card_format::kHeaderShortDescription, card_format::kShortDescriptionLength,
             destination);
    return true;
  }
  bool GetLongDescription(char* destination) const {
    CopyText(card_format::kHeaderLongDescription, card_format::kLongDescriptionLength, destination);
    return true;
  }
  bool GetApplication(char* destination) const {
    CopyText(card_format::kHeaderApplication, card_format::kApplicationLength, destination);
    return true;
  }

  std::uint16_t GetIconCount() const { return GetWord(card_format::kHeaderIconCount); }
  std::uint16_t GetAnimationSpeed() const { return GetWord(card_format::kHeaderAnimationSpeed); }
  std::uint16_t GetEyecatchType() const { return GetWord(card_format::kHeaderEyecatchType); }
  std::uint16_t GetChecksum() const { return GetWord(card_format::kHeaderChecksum); }
  void SetChecksum(std::uint16_t crc) { SetWord(card_format::kHeaderChecksum, crc); }
  // Palette entry i (0 to 15), as the card keeps it: ARGB, 4 bits each.
  std::uint16_t GetPaletteEntry(std::uint32_t i) const {
    return GetWord(card_format::kHeaderPalette + 2 * i);
  }
};
