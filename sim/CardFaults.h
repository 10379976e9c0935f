#pragma once

#include <cstdint>

// Faults the simulated card can be told to show, for the tests of everything
// above the port. All are off by default.
struct CardFaults {
  bool noCard = false;           // status bit 6 stuck at 0: no handshake answer at all
  bool statusStuckHigh = false;  // status bit 6 stuck at 1
  bool wrongAnswers = false;     // answers 0xFF 0xFF in place of 0xA9 0x55
  bool wrongChecksum = false;    // returns a checksum byte that differs from the right one

  // A bit flipped on the wire in one byte of one transaction. The byte is
  // counted in exchanges after the handshake (0 is the first command byte).
  enum class FlipDirection { None, ToPc, FromPc };
  FlipDirection flipDirection = FlipDirection::None;
  std::int64_t flipTransaction = -1;  // which transaction (0 = the first); -1 = every one
  std::uint32_t flipByte = 0;
  std::uint8_t flipMask = 0x01;

  // The card stops answering (as with noCard) once this many transactions
  // have begun; -1 = never.
  std::int64_t silentAfter = -1;

  // The card answers each handshake step only after this many status reads.
  std::uint32_t slowHandshakeReads = 0;
};
