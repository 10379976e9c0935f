#include "VmuMemory.h"

#include <algorithm>
#include <cstring>

#include "CardFormat.h"
#include "CardTransport.h"
#include "StatusCodes.h"

using card_format::kBlockSize;

CVmuMemory::CVmuMemory(std::uint32_t blockCount, CCardTransport* transport)
    : status_(std::make_unique<BlockStatus[]>(blockCount)),
      transport_(transport),
      lastError_(status::kNoError),
      blockCount_(blockCount),
      data_(std::make_unique<std::uint8_t[]>(std::size_t{blockCount} * kBlockSize)) {}

CVmuMemory::~CVmuMemory() = default;

bool CVmuMemory::Fail(std::uint32_t code) {
  lastError_ = code;
  return false;
}

// Computed in 64 bits: an address near 2^32 must not wrap into the page.
bool CVmuMemory::InRange(std::uint32_t address, std::uint32_t size) const {
  return std::uint64_t{address} + size <= std::uint64_t{blockCount_} * kBlockSize;
}

bool CVmuMemory::Read(std::uint32_t address, const std::uint8_t*& out, std::uint32_t size,
                      bool force) {
  if (!InRange(address, size)) return Fail(status::kCacheReadAddress);
  if (size != 0) {
    for (std::uint32_t block = address / kBlockSize; block <= (address + size - 1) / kBlockSize;
         ++block) {
      if (!LoadBlock(block, force)) return false;
    }
  }
  out = data_.get() + address;
  return true;
}

bool CVmuMemory::Write(std::uint32_t address, const std::uint8_t* source, std::uint32_t size,
                       bool flush) {
  if (!InRange(address, size)) return Fail(status::kCacheWriteAddress);
  if (size == 0) return true;
  std::memcpy(data_.get() + address, source, size);
  for (std::uint32_t block = address / kBlockSize; block <= (address + size - 1) / kBlockSize;
       ++block) {
    status_[block] = BlockStatus::Dirty;
  }
  // A store that fails leaves its block dirty, and fails the write: the
  // caller must not go on as if the card held it.
  return !flush || Flush();
}

bool CVmuMemory::Flush() {
  for (std::uint32_t block = 0; block < blockCount_; ++block) {
    if (status_[block] == BlockStatus::Dirty && !StoreBlock(block)) return false;
  }
  return true;
}

bool CVmuMemory::Preload(std::uint32_t first, std::uint32_t count) {
  if (!InRange(first * kBlockSize, count * kBlockSize)) return Fail(status::kCacheReadAddress);
  const bool none = std::all_of(status_.get() + first, status_.get() + first + count,
                                [](BlockStatus s) { return s == BlockStatus::NotLoaded; });
  if (none && transport_ != nullptr) {
    if (!transport_->ReadBlocks(first, count, data_.get() + std::size_t{first} * kBlockSize))
      return Fail(transport_->GetLastStatus());
    std::fill_n(status_.get() + first, count, BlockStatus::Clean);
    return true;
  }
  for (std::uint32_t block = first; block < first + count; ++block)
    if (!LoadBlock(block, false)) return false;
  return true;
}

bool CVmuMemory::Invalidate() {
  std::fill_n(status_.get(), blockCount_, BlockStatus::NotLoaded);
  return true;
}

void CVmuMemory::Discard() {
  for (std::uint32_t block = 0; block < blockCount_; ++block) {
    if (status_[block] == BlockStatus::Dirty) status_[block] = BlockStatus::NotLoaded;
  }
}

bool CVmuMemory::LoadBlock(std::uint32_t block, bool force) {
  switch (status_[block]) {
    case BlockStatus::NotLoaded:
      return FetchBlock(block);
    case BlockStatus::Clean:
    case BlockStatus::Dirty:
      // A forced fetch of a dirty block drops its change unwritten.
      return force ? FetchBlock(block) : true;
    default:
      return Fail(status::kCacheStatus);
  }
}

bool CVmuMemory::FetchBlock(std::uint32_t block) {
  if (transport_ == nullptr) return true;
  if (!transport_->ReadBlocks(block, 1, data_.get() + std::size_t{block} * kBlockSize))
    return Fail(transport_->GetLastStatus());
  status_[block] = BlockStatus::Clean;
  return true;
}

bool CVmuMemory::StoreBlock(std::uint32_t block) {
  if (transport_ == nullptr) return true;
  if (!transport_->WriteBlock(block, data_.get() + std::size_t{block} * kBlockSize))
    return Fail(transport_->GetLastStatus());
  status_[block] = BlockStatus::Clean;
  return true;
}
