#include "VmuLink.h"

#include <algorithm>
#include <utility>

#include "CardFormat.h"
#include "CardProtocol.h"
#include "Messages.h"
#include "NoPortRoad.h"
#include "TracedPortRoad.h"
#include "WireTrace.h"

namespace {
constexpr std::uint8_t kClock = 0x01;
constexpr std::uint8_t kDataOut = 0x02;
constexpr std::uint8_t kStatusIn = 0x40;  // incoming data bit and handshake answer
constexpr std::uint8_t kLineRaised = 0x01;
constexpr std::uint8_t kLineReleased = 0x00;

using namespace card_protocol;
using card_format::kBlockSize;
using card_format::kPageCount;

// The port instructions settle slowly enough only with a short wait per bit
// step; the other roads are slow per access already.
std::uint32_t InitialDelayFactor(PortAccess access) {
  return access == PortAccess::Direct ? 1 : 0;
}
}  // namespace

CVmuLink::CVmuLink() : CVmuLink(SystemPortRoadChooser()) {}

CVmuLink::CVmuLink(PortRoadChooser chooser, CCounterSource& counter)
    : chooser_(std::move(chooser)),
      counter_(counter),
      bitTimer_(std::make_unique<CPerfTimer>(counter)) {
  UseRoad(PortRoadChoice{std::make_unique<CNoPortRoad>(), Result()});
}

CVmuLink::CVmuLink(std::unique_ptr<CPortRoad> road, CCounterSource& counter)
    : counter_(counter), bitTimer_(std::make_unique<CPerfTimer>(counter)) {
  roadChosen_ = true;
  UseRoad(PortRoadChoice{std::move(road), Result()});
  delayFactor_ = InitialDelayFactor(road_->GetAccess());
}

CVmuLink::~CVmuLink() = default;

void CVmuLink::SetPort(std::uint16_t base) {
  const bool changed = base != port_;
  port_ = base;
  // A road that could not be opened is tried again, so that a user who has
  // since been given access only has to confirm the settings.
  if (chooser_ && (!roadChosen_ || changed || road_->GetAccess() == PortAccess::None)) {
    ChooseRoad();
  }
}

void CVmuLink::DisablePort(Result problem) {
  tracedRoad_.reset();
  road_.reset();
  roadChosen_ = true;
  UseRoad(PortRoadChoice{std::make_unique<CNoPortRoad>(), std::move(problem)});
}

void CVmuLink::ChooseRoad() {
  tracedRoad_.reset();
  road_.reset();  // releases the old port before the new one is claimed
  UseRoad(chooser_(port_));
  if (!roadChosen_ && !delayFactorGiven_) delayFactor_ = InitialDelayFactor(road_->GetAccess());
  roadChosen_ = true;
}

void CVmuLink::SetTrace(std::unique_ptr<CWireTrace> trace) {
  tracedRoad_.reset();
  trace_ = std::move(trace);
  RouteAccesses();
}

std::unique_ptr<CWireTrace> CVmuLink::TakeTrace() {
  tracedRoad_.reset();
  std::unique_ptr<CWireTrace> trace = std::move(trace_);
  RouteAccesses();
  return trace;
}

void CVmuLink::UseRoad(PortRoadChoice choice) {
  road_ = choice.road ? std::move(choice.road) : std::make_unique<CNoPortRoad>();
  portProblem_ = std::move(choice.problem);
  RouteAccesses();
}

void CVmuLink::RouteAccesses() {
  tracedRoad_ = trace_ ? std::make_unique<CTracedPortRoad>(*road_, *trace_) : nullptr;
  active_ = tracedRoad_ ? static_cast<CPortRoad*>(tracedRoad_.get()) : road_.get();
}

std::string CVmuLink::MessageFor(std::uint32_t code) const {
  // Without a road to the port no card can answer: why comes first, since
  // no timeout setting would help.
  if (code == status::kTimeout && GetPortAccess() == PortAccess::None && !portProblem_)
    return Fill(message::kNoPortTimedOut, {portProblem_.Message(), StatusMessage(code)});
  return CCardTransport::MessageFor(code);
}

std::uint8_t CVmuLink::ExchangeByte(std::uint8_t out) {
  std::uint8_t in = 0;
  for (int bit = 7; bit >= 0; --bit) {
    const std::uint8_t data = ((out >> bit) & 1) ? kDataOut : 0;
    WritePort(kDataRegister, data);
    bitTimer_->Delay(delayFactor_);
    WritePort(kDataRegister, data | kClock);
    const bool incoming = (ReadPort(kStatusRegister) & kStatusIn) != 0;
    in = static_cast<std::uint8_t>((in << 1) | (incoming ? 1 : 0));
    bitTimer_->Delay(delayFactor_);
  }
  return in;
}

std::uint8_t CVmuLink::ExchangeWithChecksum(std::uint8_t out, std::uint8_t& checksum) {
  checksum ^= out;
  return ExchangeByte(out);
}

bool CVmuLink::WaitForStatus(std::uint16_t offset, std::uint8_t mask, bool set) {
  CPerfTimer timer(counter_);
  timer.Start(timeout_);
  bool expired = false;
  // The expiry is noticed one poll late: the register is read once more after
  // it, and the wait fails whatever that read shows.
  for (;;) {
    if (((ReadPort(offset) & mask) != 0) == set) break;
    if (expired) break;
    if (timer.IsExpired()) expired = true;
    bitTimer_->Delay(delayFactor_);
  }
  return expired ? Fail(status::kTimeout) : true;
}

bool CVmuLink::BeginTransaction() {
  if (!roadChosen_) ChooseRoad();
  // No card can answer where no port is reached: fail as a wait would, at once.
  if (road_->GetAccess() == PortAccess::None) return Fail(status::kTimeout);
  WritePort(kDataRegister, kClock);
  if (!WaitForStatus(kStatusRegister, kStatusIn, true)) return EndTransaction(false);
  WritePort(kControlRegister, kLineRaised);
  if (!WaitForStatus(kStatusRegister, kStatusIn, false)) return EndTransaction(false);
  return true;
}

// A road that failed underneath the transaction fails it, whatever the card
// seemed to answer: the card may not hold what was written, and nothing may
// go on as if it did.
bool CVmuLink::EndTransaction(bool done) {
  WritePort(kControlRegister, kLineReleased);
  const Result failure = active_->TakeFailure();
  if (failure) return done;
  return FailNotStored(failure.Message());
}

bool CVmuLink::SendCommand(std::uint8_t first, std::uint8_t second, std::uint8_t& checksum) {
  const std::uint8_t firstAnswer = ExchangeWithChecksum(first, checksum);
  const std::uint8_t secondAnswer = ExchangeWithChecksum(second, checksum);
  if (firstAnswer == kFirstAnswer && secondAnswer == kSecondAnswer) return true;
  Fail(status::kUnexpectedAnswer);
  return EndTransaction(false);
}

void CVmuLink::SendAddress(std::uint32_t address, std::uint8_t& checksum) {
  for (int shift = 0; shift < 32; shift += 8) {
    ExchangeWithChecksum(static_cast<std::uint8_t>(address >> shift), checksum);
  }
}

bool CVmuLink::FinishWithChecksum(std::uint8_t checksum, bool compare) {
  const std::uint8_t cardChecksum = ExchangeByte(checksum);
  const bool matched = !compare || cardChecksum == checksum;
  if (!matched) Fail(status::kBadChecksum);
  return EndTransaction(matched);
}

bool CVmuLink::Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t length, bool swap) {
  // Data arrives in whole groups of four and the length travels as 16 bits;
  // anything else would run past the caller's buffer.
  if (length % 4 != 0 || length > kMaxReadLength || (buffer == nullptr && length != 0)) {
    return Fail(status::kNotSupported);
  }
  if (!BeginTransaction()) return false;
  std::uint8_t checksum = 0;
  if (!SendCommand(kReadCommand[0], kReadCommand[1], checksum)) return false;
  SendAddress(address, checksum);
  ExchangeWithChecksum(static_cast<std::uint8_t>(length), checksum);
  ExchangeWithChecksum(static_cast<std::uint8_t>(length >> 8), checksum);

  // Each byte received is echoed in the next exchange, so the card can check it.
  std::uint8_t echo = 0x00;
  for (std::uint32_t group = 0; group < length; group += 4) {
    for (std::uint32_t j = 0; j < 4; ++j) {
      echo = ExchangeWithChecksum(echo, checksum);
      buffer[group + (swap ? 3 - j : j)] = echo;
    }
  }
  return FinishWithChecksum(checksum, true);
}

bool CVmuLink::WriteUnit(std::uint32_t address, const std::uint8_t* data, bool swap) {
  if (!BeginTransaction()) return false;
  std::uint8_t checksum = 0;
  if (!SendCommand(kWriteCommand[0], kWriteCommand[1], checksum)) return false;
  SendAddress(address, checksum);
  for (std::uint32_t group = 0; group < kWriteUnit; group += 4) {
    for (std::uint32_t j = 0; j < 4; ++j) {
      ExchangeWithChecksum(data[group + (swap ? 3 - j : j)], checksum);
    }
  }
  // The card's answer to a write unit is not compared.
  return FinishWithChecksum(checksum, false);
}

bool CVmuLink::Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length,
                     bool swap) {
  if (data == nullptr && length != 0) return Fail(status::kNotSupported);
  if (length == kWriteUnit) return WriteUnit(address, data, swap);
  if (length % kWriteUnit != 0) return Fail(status::kWriteLength);
  for (std::uint32_t offset = 0; offset < length; offset += kWriteUnit) {
    if (!WriteUnit(address + offset, data + offset, swap)) return false;
  }
  return true;
}

bool CVmuLink::SelectPage(std::uint16_t page) {
  if (!BeginTransaction()) return false;
  std::uint8_t checksum = 0;
  if (!SendCommand(kPageCommand[0], kPageCommand[1], checksum)) return false;
  // The page travels as 16 bits, low byte first: for pages 0 to 3, the page and 0x00.
  ExchangeWithChecksum(static_cast<std::uint8_t>(page), checksum);
  ExchangeWithChecksum(static_cast<std::uint8_t>(page >> 8), checksum);
  if (!FinishWithChecksum(checksum, true)) return false;
  // The card ignores a page it does not have.
  if (std::uint32_t{page} < kPageCount) selectedPage_ = page;
  return true;
}

std::uint32_t CVmuLink::GetPageCount() const {
  return kPageCount;
}

// One transaction per run, as long a run as the length's 16 bits carry.
bool CVmuLink::ReadBlocks(std::uint32_t first, std::uint32_t count, std::uint8_t* storage) {
  constexpr std::uint32_t kRun = kMaxReadLength / kBlockSize;
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t run = std::min(count - done, kRun);
    if (!Read((first + done) * kBlockSize, storage + std::size_t{done} * kBlockSize,
              run * kBlockSize, true)) {
      return false;
    }
    done += run;
  }
  return true;
}

bool CVmuLink::WriteBlock(std::uint32_t block, const std::uint8_t* storage) {
  return Write(block * kBlockSize, storage, kBlockSize, true);
}
