#include "VmuRootBlock.h"

CVmuRootBlock::CVmuRootBlock(CVmuMemory* cache) : CVmuRegion(kBlock, 1, cache) {}

CVmuRootBlock::~CVmuRootBlock() = default;

bool CVmuRootBlock::GetField(std::uint32_t offset, std::uint16_t& out) {
  const std::uint8_t* bytes = nullptr;
  if (!Read(offset, bytes, 2, false)) return false;
  out = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
  return true;
}

bool CVmuRootBlock::GetFat(CVmuFat*& out) {
  if (!fat_) {
    std::uint16_t start = 0, count = 0;
    if (!GetFatStart(start) || !GetFatBlockCount(count)) return false;
    fat_ = std::make_unique<CVmuFat>(start, count, GetCache());
  }
  out = fat_.get();
  return true;
}

bool CVmuRootBlock::GetDirectory(CVmuDirectory*& out) {
  if (!directory_) {
    std::uint16_t start = 0, count = 0;
    if (!GetDirectoryStart(start) || !GetDirectoryBlockCount(count)) return false;
    directory_ = std::make_unique<CVmuDirectory>(start, count, GetCache());
  }
  out = directory_.get();
  return true;
}

void CVmuRootBlock::ForgetLayout() {
  fat_.reset();
  directory_.reset();
}
