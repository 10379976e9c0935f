#pragma once

#include <cstdint>
#include <memory>

#include "VmuDirectory.h"
#include "VmuFat.h"
#include "VmuRegion.h"

// Block 255: where the page says its allocation table and directory lie. The
// two regions are made from its fields at first use and kept until the layout
// is forgotten (the card object does that whenever the cache is emptied, since
// another page or another card may lay itself out differently).
class CVmuRootBlock : public CVmuRegion {
 public:
  static constexpr std::uint16_t kBlock = 255;
  // A formatted page's root block starts with this byte, this many times.
  static constexpr std::uint8_t kFormatMarker = 0x55;
  static constexpr std::uint32_t kFormatMarkerLength = 16;

  explicit CVmuRootBlock(CVmuMemory* cache);
  ~CVmuRootBlock() override;

  // The regions stay owned by the root block.
  bool GetFat(CVmuFat*& out);
  bool GetDirectory(CVmuDirectory*& out);
  void ForgetLayout();

  // Whether the page is formatted: out is false when the marker is missing.
  bool IsFormatted(bool& out);

  bool GetFatStart(std::uint16_t& out) { return GetField(70, out); }
  bool GetFatBlockCount(std::uint16_t& out) { return GetField(72, out); }
  bool GetDirectoryStart(std::uint16_t& out) { return GetField(74, out); }
  bool GetDirectoryBlockCount(std::uint16_t& out) { return GetField(76, out); }
  bool GetIconShape(std::uint16_t& out) { return GetField(78, out); }  // nothing here uses it
  bool GetDirectoryEntryCount(std::uint16_t& out) { return GetField(80, out); }

 private:
  bool GetField(std::uint32_t offset, std::uint16_t& out);
  template <class Region>
  bool GetRegion(std::uint32_t startField, std::unique_ptr<Region>& region, Region*& out);

  std::unique_ptr<CVmuFat> fat_;
  std::unique_ptr<CVmuDirectory> directory_;
};
