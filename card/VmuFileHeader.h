#pragma once

#include "CardFormat.h"
#include "VmuBuffer.h"

// A file's header block (card_format::kDataHeaderBlock or kGameHeaderBlock
// along its chain). Its first 64 bytes carry the descriptions shown for the
// file; the rest is the file's own.
class CVmuFileHeader : public CVmuBuffer {
 public:
  static constexpr std::uint32_t kLength = card_format::kBlockSize;

  CVmuFileHeader() : CVmuBuffer(kLength) {}

  // Each copies its field and a terminating zero: 17, 33 and 17 bytes.
  bool GetShortDescription(char* destination) const {
    CopyText(0, 16, destination);
    return true;
  }
  bool GetLongDescription(char* destination) const {
    CopyText(16, 32, destination);
    return true;
  }
  bool GetApplication(char* destination) const {
    CopyText(48, 16, destination);
    return true;
  }
};
