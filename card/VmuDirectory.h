#pragma once

#include "VmuRegion.h"

class CVmuBuffer;

// The directory: 32-byte entries, sixteen to a block, entry n at offset 32n.
class CVmuDirectory : public CVmuRegion {
 public:
  static constexpr std::uint32_t kEntrySize = 32;
  static constexpr std::uint32_t kEntriesPerBlock = kBlockSize / kEntrySize;

  using CVmuRegion::CVmuRegion;

  // How many entries the directory's blocks hold.
  std::uint32_t GetCapacity() const { return GetBlockCount() * kEntriesPerBlock; }

  bool ReadEntry(std::uint16_t n, CVmuBuffer& entry);
  bool WriteEntry(std::uint16_t n, const CVmuBuffer& entry);
};
