#pragma once

#include <cstdint>

class CVmuMemory;

// A run of card blocks that starts at a block and runs downward: offset
// k * 512 + j is byte j of card block (start - k). Files, the allocation table
// and the directory are all such runs. Only the first byte of a transfer is
// mapped, so every transfer stays within one block.
class CVmuRegion {
 public:
  CVmuRegion(std::uint16_t startBlock, std::uint32_t blockCount, CVmuMemory* cache);
  virtual ~CVmuRegion();

  CVmuRegion(const CVmuRegion&) = delete;
  CVmuRegion& operator=(const CVmuRegion&) = delete;

  bool Read(std::uint32_t offset, const std::uint8_t*& out, std::uint32_t size, bool force);
  bool Write(std::uint32_t offset, const std::uint8_t* source, std::uint32_t size, bool flush);

  std::uint32_t GetLastError() const { return lastError_; }
  std::uint16_t GetStartBlock() const { return startBlock_; }
  std::uint32_t GetBlockCount() const { return blockCount_; }

 protected:
  bool Fail(std::uint32_t code);
  CVmuMemory* GetCache() const { return cache_; }

 private:
  bool Map(std::uint32_t offset, std::uint32_t size, std::uint32_t& address) const;

  CVmuMemory* cache_;
  std::uint16_t startBlock_;
  std::uint32_t blockCount_;
  std::uint32_t lastError_;
};
