#pragma once

#include <cstdint>

// Status codes kept as each layer's last error; the message of a code is what
// the user is shown. Grouped by layer: 20000s general, 21000s link,
// 22000s cache, 23000s the USB adapter, 29000s general failures.
namespace status {
constexpr std::uint32_t kNoError = 20000;
constexpr std::uint32_t kCancelled = 20001;
constexpr std::uint32_t kTimeout = 21000;
constexpr std::uint32_t kBadChecksum = 21001;
constexpr std::uint32_t kUnexpectedAnswer = 21002;
constexpr std::uint32_t kWriteLength = 21003;
constexpr std::uint32_t kNotStored = 21004;  // the road failed underneath; see GetLastReason
constexpr std::uint32_t kCacheReadAddress = 22000;
constexpr std::uint32_t kCacheWriteAddress = 22001;
constexpr std::uint32_t kCacheStatus = 22002;
constexpr std::uint32_t kAdapterNoReply = 23000;   // no reply before the deadline
constexpr std::uint32_t kAdapterFailure = 23001;   // the adapter's failure reply, with its reason
constexpr std::uint32_t kAdapterRejected = 23002;  // a request the adapter does not know
constexpr std::uint32_t kAdapterGarbled = 23003;   // a reply that is not the one asked for
constexpr std::uint32_t kAdapterTransmitAgain = 23004;  // the card kept asking for a block again
constexpr std::uint32_t kAdapterNotVerified = 23005;    // a written block read back differs
constexpr std::uint32_t kNotSupported = 29000;
constexpr std::uint32_t kUnknown = 29999;
}  // namespace status

// The message of a status code; an unknown code gives the message of 29999.
// The message of 21004 has a place for its reason (CCardTransport::MessageFor).
const char* StatusMessage(std::uint32_t code);
