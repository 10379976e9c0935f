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

// The directory is as long as the table chains it (ChainedDirectoryBlocks),
// so the table is read first.
bool CVmuRootBlock::GetDirectory(CVmuDirectory*& out) {
  if (!directory_) {
    std::uint16_t start = 0, count = 0;
    CVmuFat* fat = nullptr;
    if (!GetField(card_format::kRootDirectoryStart, start) ||
        !GetField(card_format::kRootDirectoryBlockCount, count) || !GetFat(fat)) {
      return false;
    }
    // A start off the page has no table entry; reading the region fails as before.
    bool readable = true;
    const std::uint32_t blocks =
        start >= card_format::kBlocksPerPage
            ? count
            : card_format::ChainedDirectoryBlocks(start, count, [&](std::uint32_t block) {
                std::uint16_t next = 0;
                readable = readable && fat->GetEntry(static_cast<std::uint16_t>(block), next);
                return next;
              });
    if (!readable) return Fail(fat->GetLastError());
    directory_ = std::make_unique<CVmuDirectory>(start, blocks, GetCache());
  }
  out = directory_.get();
  return true;
}

bool CVmuRootBlock::IsFormatted(bool& out) {
  const std::uint8_t* bytes = nullptr;
  using namespace card_format;
  if (!Read(kRootFormatMarker, bytes, kFormatMarkerLength, false)) return false;
  out = IsFormatMarker(bytes);
  return true;
}

void CVmuRootBlock::ForgetLayout() {
  fat_.reset();
  directory_.reset();
}
