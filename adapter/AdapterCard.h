#pragma once

#include <cstdint>

#include "AdapterSession.h"
#include "MapleFrame.h"
#include "Result.h"

// One memory card in one slot of an adapter, read and written a block at a
// time through the card's own storage commands, one request in flight. A
// block is read with one request. A block is written in four parts and then
// committed, each frame at least kWritePause after the last write frame (a
// card given them faster asks for them again); a part the card refuses or
// asks for again, or a reply that is not the card's acknowledgement, starts
// the block again from its first part after kRetryPause, up to kWriteTries
// times; and a written block is read back and compared, since a block cut
// off between its parts is left partly written. A request that gets no
// reply is not tried again: the card is gone, and the message says which
// block was being written.
class CAdapterCard {
 public:
  static constexpr std::uint32_t kBlockSize = 512;
  static constexpr std::int64_t kWritePause = 10000;  // microseconds
  static constexpr std::int64_t kRetryPause = 50000;  // microseconds
  static constexpr int kWriteTries = 3;

  CAdapterCard(CAdapterSession& session, CardSlot slot);

  CardSlot GetSlot() const { return slot_; }
  // The block's kBlockSize bytes, in the order of a card image file.
  Result ReadBlock(std::uint16_t block, std::uint8_t* data);
  Result WriteBlock(std::uint16_t block, const std::uint8_t* data);

  struct Counters {
    std::uint64_t blockReads = 0;   // read requests, read-backs included
    std::uint64_t writeFrames = 0;  // write and commit frames sent
    std::uint64_t retries = 0;      // blocks started again from the first part
  };
  const Counters& GetCounters() const { return counters_; }

 private:
  Result WriteOnce(std::uint16_t block, const std::uint8_t* data);
  Result SendWriteFrame(const MapleFrame& frame);
  Result Verify(std::uint16_t block, const std::uint8_t* data);
  MapleFrame Frame(std::uint8_t command, std::uint16_t block, std::uint32_t phase) const;

  CAdapterSession& session_;
  CardSlot slot_;
  bool wroteBefore_ = false;
  std::int64_t lastWriteFrame_ = 0;
  Counters counters_;
};
