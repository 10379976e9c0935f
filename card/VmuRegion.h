#pragma once

#include <cstdint>
#include <vector>

class CVmuMemory;

// Card blocks seen as one run of bytes: offset k * 512 + j is byte j of the
// region's k-th block. The allocation table and the directory are runs that
// start at a block and go downward (the k-th block is start - k); a file is
// the chain of blocks its allocation entries link, in that order. Only the
// first byte of a transfer is mapped, so every transfer stays within one block.
class CVmuRegion {
 public:
  // The run of blockCount blocks from startBlock downward.
  CVmuRegion(std::uint16_t startBlock, std::uint32_t blockCount, CVmuMemory* cache);
  // The given blocks, in this order (a file's allocation chain).
  CVmuRegion(std::vector<std::uint16_t> blocks, CVmuMemory* cache);
  virtual ~CVmuRegion();

  CVmuRegion(const CVmuRegion&) = delete;
  CVmuRegion& operator=(const CVmuRegion&) = delete;

  bool Read(std::uint32_t offset, const std::uint8_t*& out, std::uint32_t size, bool force);
  bool Write(std::uint32_t offset, const std::uint8_t* source, std::uint32_t size, bool flush);

  std::uint32_t GetLastError() const { return lastError_; }
  std::uint16_t GetStartBlock() const { return startBlock_; }
  std::uint32_t GetBlockCount() const { return blockCount_; }
  // The region's k-th block, for k below the block count.
  std::uint16_t GetBlock(std::uint32_t k) const;

 protected:
  bool Fail(std::uint32_t code);
  CVmuMemory* GetCache() const { return cache_; }

 private:
  bool Map(std::uint32_t offset, std::uint32_t size, std::uint32_t& address) const;

  CVmuMemory* cache_;
  std::uint16_t startBlock_;
  std::uint32_t blockCount_;
  std::uint32_t lastError_;
  std::vector<std::uint16_t> blocks_;  // empty for a run downward from the start block
};
