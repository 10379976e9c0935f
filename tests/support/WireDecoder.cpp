#include "WireDecoder.h"

std::vector<DecodedTransaction> DecodeTransactions(const std::vector<PortAccessRecord>& records) {
  std::vector<DecodedTransaction> transactions;
  bool raised = false, awaitingSample = false, exchangeOpen = false;
  int bits = 0;
  std::uint8_t sent = 0, received = 0;
  for (const auto& record : records) {
    if (record.write && record.offset == 2) {  // the transaction line
      raised = record.value & 0x01;
      if (raised) transactions.emplace_back();
      bits = 0;
      awaitingSample = exchangeOpen = false;
      continue;
    }
    if (!raised) continue;
    DecodedTransaction& current = transactions.back();
    if (record.write && record.offset == 0) {
      if (!exchangeOpen) {
        current.dataWrites.emplace_back();
        current.statusReads.emplace_back();
        exchangeOpen = true;
      }
      current.dataWrites.back().push_back(record.value);
      if (record.value & 0x01) {  // the rising clock takes the data bit
        sent = static_cast<std::uint8_t>(sent << 1 | (record.value >> 1 & 1));
        awaitingSample = true;
      }
    } else if (!record.write && record.offset == 1 && !current.statusReads.empty()) {
      // Status reads of the handshake come before the first data write.
      current.statusReads.back().push_back(record.value);
      if (!awaitingSample) continue;
      awaitingSample = false;
      received = static_cast<std::uint8_t>(received << 1 | (record.value >> 6 & 1));
      if (++bits == 8) {
        current.sent.push_back(sent);
        current.received.push_back(received);
        bits = 0;
        exchangeOpen = false;
      }
    }
  }
  return transactions;
}
