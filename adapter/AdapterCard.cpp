#include "AdapterCard.h"

#include <algorithm>
#include <cstring>

#include "Messages.h"
#include "StatusCodes.h"

using namespace maple;

namespace {
constexpr std::uint32_t kBlockWords = CAdapterCard::kBlockSize / 4;
constexpr std::uint32_t kPhaseWords = kPhaseBytes / 4;

// Whether a failure may pass when the block is sent again: not when the card
// or the adapter has stopped answering, nor when the channel itself failed.
bool WorthAnotherTry(const Result& result) {
  switch (result.Code()) {
    case status::kAdapterFailure:
    case status::kAdapterGarbled:
    case status::kAdapterTransmitAgain:
    case status::kAdapterNotVerified:
      return true;
    default:
      return false;
  }
}
}  // namespace

CAdapterCard::CAdapterCard(CAdapterSession& session, CardSlot slot)
    : session_(session), slot_(slot) {}

MapleFrame CAdapterCard::Frame(std::uint8_t command, std::uint16_t block,
                               std::uint32_t phase) const {
  MapleFrame frame;
  frame.command = command;
  frame.recipient = CardAddress(slot_);
  frame.sender = HostAddress(slot_.port);
  frame.words = {kStorageFunction, Location(block, phase)};
  return frame;
}

Result CAdapterCard::ReadBlock(std::uint16_t block, std::uint8_t* data) {
  ++counters_.blockReads;
  MapleFrame reply;
  Result done = session_.Maple(Frame(kBlockRead, block, 0), reply);
  if (!done) return done;
  if (reply.command != kDataTransfer || reply.words.size() != 2 + kBlockWords ||
      reply.words[0] != kStorageFunction || reply.words[1] != Location(block, 0)) {
    return AdapterFailure(status::kAdapterGarbled);
  }
  for (std::uint32_t i = 0; i < kBlockWords; ++i)
    PutWord(data + 4 * i, reply.words[2 + i]);
  return Result();
}

Result CAdapterCard::WriteBlock(std::uint16_t block, const std::uint8_t* data) {
  Result last;
  for (int attempt = 0; attempt < kWriteTries; ++attempt) {
    if (attempt > 0) {
      ++counters_.retries;
      session_.Clock().Sleep(kRetryPause);
    }
    last = WriteOnce(block, data);
    if (last) last = Verify(block, data);
    if (last || !WorthAnotherTry(last)) break;
  }
  if (last) return last;
  return Result::Failure(
      Fill(message::kAdapterBlockNotWritten, {std::to_string(block), last.Message()}), last.Code());
}

Result CAdapterCard::WriteOnce(std::uint16_t block, const std::uint8_t* data) {
  for (std::uint32_t phase = 0; phase < kWritePhases; ++phase) {
    MapleFrame frame = Frame(kBlockWrite, block, phase);
    for (std::uint32_t i = 0; i < kPhaseWords; ++i) {
      frame.words.push_back(GetWord(data + phase * kPhaseBytes + 4 * i));
    }
    Result sent = SendWriteFrame(frame);
    if (!sent) return sent;
  }
  return SendWriteFrame(Frame(kGetLastError, block, kWritePhases));
}

Result CAdapterCard::SendWriteFrame(const MapleFrame& frame) {
  CAdapterClock& clock = session_.Clock();
  if (wroteBefore_) clock.Sleep(lastWriteFrame_ + kWritePause - clock.Now());
  wroteBefore_ = true;
  lastWriteFrame_ = clock.Now();
  ++counters_.writeFrames;
  MapleFrame reply;
  Result done = session_.Maple(frame, reply);
  if (!done) return done;
  if (reply.command == kTransmitAgain) return AdapterFailure(status::kAdapterTransmitAgain);
  if (reply.command != kAcknowledge) return AdapterFailure(status::kAdapterGarbled);
  return Result();
}

Result CAdapterCard::Verify(std::uint16_t block, const std::uint8_t* data) {
  std::uint8_t stored[kBlockSize];
  Result read = ReadBlock(block, stored);
  if (!read) return read;
  return std::memcmp(stored, data, kBlockSize) == 0 ? Result()
                                                    : AdapterFailure(status::kAdapterNotVerified);
}
