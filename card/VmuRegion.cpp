#include "VmuRegion.h"

#include <utility>

#include "CardFormat.h"
#include "StatusCodes.h"
#include "VmuMemory.h"

CVmuRegion::CVmuRegion(std::uint16_t startBlock, std::uint32_t blockCount, CVmuMemory* cache)
    : cache_(cache),
      startBlock_(startBlock),
      blockCount_(blockCount),
      lastError_(status::kNoError) {}

CVmuRegion::CVmuRegion(std::vector<std::uint16_t> blocks, CVmuMemory* cache)
    : cache_(cache),
      startBlock_(blocks.empty() ? 0 : blocks.front()),
      blockCount_(static_cast<std::uint32_t>(blocks.size())),
      lastError_(status::kNoError),
      blocks_(std::move(blocks)) {}

CVmuRegion::~CVmuRegion() = default;

// Past a chain's end lies no block of the page (an empty transfer may ask).
std::uint16_t CVmuRegion::GetBlock(std::uint32_t k) const {
  if (blocks_.empty()) return static_cast<std::uint16_t>(startBlock_ - k);
  return k < blocks_.size() ? blocks_[k] : 0xFFFF;
}

bool CVmuRegion::Fail(std::uint32_t code) {
  lastError_ = code;
  return false;
}

// A run's block is counted down from the start in 16 bits, so a run that
// would pass below block 0 wraps far above the page and the cache refuses it.
// A transfer past the region's own end is refused here: card data must never
// lead to blocks that are not the region's.
bool CVmuRegion::Map(std::uint32_t offset, std::uint32_t size, std::uint32_t& address) const {
  using card_format::kBlockSize;
  if (std::uint64_t{offset} + size > std::uint64_t{blockCount_} * kBlockSize) return false;
  address = std::uint32_t{GetBlock(offset / kBlockSize)} * kBlockSize + offset % kBlockSize;
  return true;
}

bool CVmuRegion::Read(std::uint32_t offset, const std::uint8_t*& out, std::uint32_t size,
                      bool force) {
  std::uint32_t address = 0;
  if (!Map(offset, size, address)) return Fail(status::kCacheReadAddress);
  if (!cache_->Read(address, out, size, force)) return Fail(cache_->GetLastError());
  return true;
}

bool CVmuRegion::Write(std::uint32_t offset, const std::uint8_t* source, std::uint32_t size,
                       bool flush) {
  std::uint32_t address = 0;
  if (!Map(offset, size, address)) return Fail(status::kCacheWriteAddress);
  if (!cache_->Write(address, source, size, flush)) return Fail(cache_->GetLastError());
  return true;
}
