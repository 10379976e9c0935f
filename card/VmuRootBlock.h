#pragma once

#include <cstdint>
#include <memory>

#include "CardFormat.h"
#include "VmuDirectory.h"
#include "VmuFat.h"
#include "VmuRegion.h"

// Block 255: where the page says its allocation table and directory lie. The
// two regions are made from its fields at first use and kept until the layout
// is forgotten (the card object does that whenever the cache is emptied, since
// another page or another card may lay itself out differently).
class CVmuRootBlock : public CVmuRegion {
 public:
  static constexpr std::uint16_t kBlock = card_format::kRootBlock;

  explicit CVmuRootBlock(CVmuMemory* cache);
  ~CVmuRootBlock() override;

  // The regions stay owned by the root block.
  bool GetFat(CVmuFat*& out);
  bool GetDirectory(CVmuDirectory*& out);
  void ForgetLayout();

  // Whether the page is formatted: out is false when the format marker is missing.
  bool IsFormatted(bool& out);

  bool GetFatStart(std::uint16_t& out) { return GetField(card_format::kRootFatStart, out); }
  bool GetFatBlockCount(std::uint16_t& out) {
    return GetField(card_format::kRootFatBlockCount, out);
  }
  bool GetDirectoryStart(std::uint16_t& out) {
    return GetField(card_format::kRootDirectoryStart, out);
  }
  bool GetDirectoryBlockCount(std::uint16_t& out) {
    return GetField(card_format::kRootDirectoryBlockCount, out);
  }
  bool GetIconShape(std::uint16_t& out) {  // nothing here uses it
    return GetField(card_format::kRootIconShape, out);
  }
  bool GetDirectoryEntryCount(std::uint16_t& out) {
    return GetField(card_format::kRootDirectoryEntryCount, out);
  }
  // How many blocks a game may take; 0 on pages whose tools left it unset.
  bool GetMaxGameBlocks(std::uint16_t& out) {
    return GetField(card_format::kRootMaxGameBlocks, out);
  }

 private:
  bool GetField(std::uint32_t offset, std::uint16_t& out);
  template <class Region>
  bool GetRegion(std::uint32_t startField, std::uint32_t countField,
                 std::unique_ptr<Region>& region, Region*& out);

  std::unique_ptr<CVmuFat> fat_;
  std::unique_ptr<CVmuDirectory> directory_;
};
