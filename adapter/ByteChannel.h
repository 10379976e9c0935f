#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Result.h"

// The boundary between the adapter session and whatever carries its bytes:
// the adapter's USB interface, or the simulated adapter. Neither end knows
// of packets here; a failure says, in the user's words, why the bytes could
// not travel (an adapter unplugged, an interface taken away).
class CByteChannel {
 public:
  virtual ~CByteChannel() = default;

  // Sends every byte, in order.
  virtual Result Write(const std::uint8_t* bytes, std::size_t size) = 0;
  // Waits until bytes arrive or the session's clock reaches deadline
  // (microseconds, CAdapterClock::Now), and appends what came to arrived,
  // which may be nothing: a quiet adapter is no failure of the channel.
  virtual Result Read(std::vector<std::uint8_t>& arrived, std::int64_t deadline) = 0;
  // Whether the adapter also shows its cards to the computer as files on a
  // USB drive (its mass storage), which the system may write at any time.
  virtual bool ShowsCardsAsDrive() const { return false; }
  // Why the channel cannot carry bytes any more, once a transfer failed (the
  // adapter unplugged or restarted); done while it works. Only a new
  // connection reaches the adapter after that.
  virtual const Result& GetLoss() const;
};
