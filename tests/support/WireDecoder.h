#pragma once

#include <cstdint>
#include <vector>

#include "RecordingPortRoad.h"

// The bytes of one transaction as they crossed the wire, rebuilt from the
// register accesses between the raised and the released transaction line.
struct DecodedTransaction {
  std::vector<std::uint8_t> sent;      // PC to card, one per exchange
  std::vector<std::uint8_t> received;  // card to PC, one per exchange
  // The data-register writes and status reads of each exchange, in order.
  std::vector<std::vector<std::uint8_t>> dataWrites;
  std::vector<std::vector<std::uint8_t>> statusReads;
};

// Splits a recording into transactions and decodes each: a bit is sent with
// every rising clock edge and received by the status read that follows it.
std::vector<DecodedTransaction> DecodeTransactions(const std::vector<PortAccessRecord>& records);
