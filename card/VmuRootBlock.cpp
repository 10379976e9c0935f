#include "VmuRootBlock.h"

CVmuRootBlock::CVmuRootBlock(CVmuMemory* cache) : CVmuRegion(kBlock, 1, cache) {}

CVmuRootBlock::~CVmuRootBlock() = default;

bool CVmuRootBlock::GetField(std::uint32_t offset, std::uint16_t& out) {
  const std::uint8_t* bytes = nullptr;
  if (!Read(offset, bytes, 2, false)) return false;
  out = card_format::GetLe16(bytes);
  return true;
}

// Makes a region from a pair of root fields (start block, block count) once.
template <class Region>
bool CVmuRootBlock::GetRegion(std::uint32_t startField, std::uint32_t countField,
                              std::unique_ptr<Region>& region, Region*& out) {
  if (!region) {
    std::uint16_t start = 0, count = 0;
    if (!GetField(startField, start) || !GetField(countField, count)) return false;
    region = std::make_unique<Region>(start, count, GetCache());
  }
  out = region.get();
  return true;
}

bool CVmuRootBlock::GetFat(CVmuFat*& out) {
  return GetRegion(card_format::kRootFatStart, card_format::kRootFatBlockCount, fat_, out);
}

bool CVmuRootBlock::GetDirectory(CVmuDirectory*& out) {
  return GetRegion(card_format::kRootDirectoryStart, card_format::kRootDirectoryBlockCount,
                   directory_, out);
}

bool CVmuRootBlock::IsFormatted(bool& out) {
  const std::uint8_t* bytes = nullptr;
  using namespace card_format;
  if (!Read(kRootFormatMarker, bytes, kFormatMarkerLength, false)) return false;
  out = true;
  for (std::uint32_t i = 0; i < kFormatMarkerLength; ++i)
    out = out && bytes[i] == kFormatMarkerByte;
  return true;
}

void CVmuRootBlock::ForgetLayout() {
  fat_.reset();
  directory_.reset();
}
