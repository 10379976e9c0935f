#pragma once

#include "CardFormat.h"
#include "VmuRegion.h"

class CVmuBuffer;

// The directory: 32-byte entries, sixteen to a block, entry n at offset 32n.
class CVmuDirectory : public CVmuRegion {
 public:
  static constexpr std::uint32_t kEntriesPerBlock =
      card_format::kBlockSize / card_format::kDirEntrySize;

  using CVmuRegion::CVmuRegion;

  // How many entries the directory's blocks hold.
  std::uint32_t GetCapacity() const { return GetBlockCount() * kEntriesPerBlock; }

  bool ReadEntry(std::uint16_t n, CVmuBuffer& entry);
  bool WriteEntry(std::uint16_t n, const CVmuBuffer& entry);
};
