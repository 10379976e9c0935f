#pragma once

#include <cstddef>
#include <cstdint>

// Faults the simulated adapter can be told to show, for the tests of the
// adapter's road. All are off by default. A fault of a kind hits the
// requests counted from `from` (0 = the first since the counters were
// reset), `count` of them (-1: every one from then on).
struct AdapterFaults {
  enum class Kind {
    None,
    BadCrc,         // the reply's CRC is wrong, so the session drops it
    BytesBefore,    // noise, a piece of a magic among it, before the reply
    Failure,        // a storage request fails on the bus: 0x0F with reason 4
    Silence,        // no reply at all, as for a card pulled out
    TransmitAgain,  // the card asks for a write frame again (0xFC)
  };
  Kind kind = Kind::None;
  std::int64_t from = 0;
  std::int64_t count = -1;

  // At most this many bytes per read (0: all that wait), so that replies are
  // split across reads; replies that wait together are always merged.
  std::size_t readSize = 0;
  // Replies waiting together come out last first.
  bool reverseOrder = false;
  // The adapter is gone from the bus (unplugged, restarting): every transfer
  // fails as a real connection's does, and the channel is lost for good.
  bool unplugged = false;
};
