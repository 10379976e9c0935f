#include "WireDecoder.h"

namespace {
constexpr std::uint8_t kClock = 0x01;

struct Decoder {
  std::vector<DecodedTransaction> transactions;
  DecodedTransaction* current = nullptr;
  int bits = 0;
  std::uint8_t sent = 0;
  std::uint8_t received = 0;
  bool awaitingSample = false;
  bool exchangeOpen = false;

  void OnControl(std::uint8_t value) {
    if (value & 0x01) {
      transactions.emplace_back();
      current = &transactions.back();
      bits = 0;
      awaitingSample = false;
      exchangeOpen = false;
    } else {
      current = nullptr;
    }
  }

  void OnData(std::uint8_t value) {
    if (!current) return;
    if (!exchangeOpen) {
      current->dataWrites.emplace_back();
      current->statusReads.emplace_back();
      exchangeOpen = true;
    }
    current->dataWrites.back().push_back(value);
    if (value & kClock) {
      sent = static_cast<std::uint8_t>((sent << 1) | ((value >> 1) & 1));
      awaitingSample = true;
    }
  }

  void OnStatus(std::uint8_t value) {
    // Status reads of the handshake come before the first data write.
    if (!current || current->statusReads.empty()) return;
    current->statusReads.back().push_back(value);
    if (!awaitingSample) return;
    awaitingSample = false;
    received = static_cast<std::uint8_t>((received << 1) | ((value >> 6) & 1));
    if (++bits == 8) {
      current->sent.push_back(sent);
      current->received.push_back(received);
      bits = 0;
      exchangeOpen = false;
    }
  }
};
}  // namespace

std::vector<DecodedTransaction> DecodeTransactions(const std::vector<PortAccessRecord>& records) {
  Decoder decoder;
  for (const auto& record : records) {
    if (record.write && record.offset == 2) decoder.OnControl(record.value);
    if (record.write && record.offset == 0) decoder.OnData(record.value);
    if (!record.write && record.offset == 1) decoder.OnStatus(record.value);
  }
  return decoder.transactions;
}
