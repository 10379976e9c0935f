#pragma once

#include <cstdint>
#include <memory>

class CCardTransport;

// One card page in PC memory: a write-back cache of whole 512-byte blocks in
// front of the card's transport. Reads fetch each missing block once; writes
// change only the cached bytes and mark their blocks dirty; a flush stores the
// dirty ones. The bytes are held in storage order, as the transport delivers
// blocks, so every multi-byte field read from the cache is little-endian.
class CVmuMemory {
 public:
  // One byte per block; any other value is a status the cache does not know.
  enum class BlockStatus : std::uint8_t { NotLoaded = 0, Clean = 1, Dirty = 2 };

  CVmuMemory(std::uint32_t blockCount, CCardTransport* transport);
  virtual ~CVmuMemory();

  CVmuMemory(const CVmuMemory&) = delete;
  CVmuMemory& operator=(const CVmuMemory&) = delete;

  // On success out points at the cached byte at address, followed by size
  // valid bytes. The pointer stays valid for the cache's life, but its bytes
  // change with later writes and fetches: copy what you need at once.
  bool Read(std::uint32_t address, const std::uint8_t*& out, std::uint32_t size, bool force);
  // Writes the cache, and with flush stores every dirty block on the card,
  // failing as Flush does. A block that is written in part must be present
  // first, or the next flush stores its undefined remainder.
  bool Write(std::uint32_t address, const std::uint8_t* source, std::uint32_t size, bool flush);
  // Brings count blocks from first into the cache in one transfer when none
  // of them is cached yet, else fetches only the missing ones one by one.
  bool Preload(std::uint32_t first, std::uint32_t count);
  bool Flush();
  bool Invalidate();
  // Drops the changes not yet stored: every dirty block becomes not loaded,
  // so the next read fetches what the card holds. Nothing is transferred.
  void Discard();

  std::uint32_t GetLastError() const { return lastError_; }
  CCardTransport* GetTransport() const { return transport_; }
  void SetTransport(CCardTransport* transport) { transport_ = transport; }
  std::uint32_t GetBlockCount() const { return blockCount_; }
  BlockStatus GetBlockStatus(std::uint32_t block) const { return status_[block]; }

 protected:
  // Open to subclasses so that tests can reach states the cache never enters.
  std::unique_ptr<BlockStatus[]> status_;

 private:
  bool InRange(std::uint32_t address, std::uint32_t size) const;
  bool LoadBlock(std::uint32_t block, bool force);
  bool FetchBlock(std::uint32_t block);
  bool StoreBlock(std::uint32_t block);
  bool Fail(std::uint32_t code);

  CCardTransport* transport_;
  std::uint32_t lastError_;
  std::uint32_t blockCount_;
  std::unique_ptr<std::uint8_t[]> data_;
};
