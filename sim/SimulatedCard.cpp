#include "SimulatedCard.h"

#include <algorithm>
#include <array>
#include <utility>

#include "CardFormat.h"
#include "CardImageFile.h"
#include "CardTransaction.h"
#include "Messages.h"

namespace {

constexpr std::uint8_t kClock = 0x01;
constexpr std::uint8_t kAnswerBit = 0x40;  // status bit 6
using card_format::kPageCount;
using card_format::kPageSize;

constexpr std::uint32_t kAddressMask = kPageSize - 1;
constexpr std::uint32_t kUnitSize = CCardTransaction::kUnitSize;

// Where the wire stands. Only Exchange is on the fast path of every access.
enum class Phase : std::uint8_t {
  Idle,       // line low: the card answers "ready" once the clock is high
  Absent,     // line high, but no card answered (noCard, or fallen silent)
  Answering,  // line high, the "begun" answer still held back (slow handshake)
  Exchange,   // line high, bytes shifting
};

}  // namespace

struct CSimulatedCard::State {
  std::vector<std::uint8_t> memory =
      std::vector<std::uint8_t>(std::size_t{kPageSize} * kPageCount, 0xFF);
  std::uint32_t selectedPage = 0;
  std::unique_ptr<CCardImageFile> image;
  Result refusal;
  CardFaults faults;
  Counters counters;

  // The wire.
  Phase phase = Phase::Idle;
  bool clock = false;
  std::uint8_t status = 0;  // the card's bit 6 while bytes shift
  std::uint8_t stuck = 0;   // kAnswerBit while the status line is stuck high
  std::uint32_t handshakeReads = 0;
  std::uint32_t answerDelay = 0;
  std::uint8_t out = 0;  // what is left of the outgoing byte, next bit in bit 7
  std::uint8_t in = 0;
  int bits = 0;

  // The transaction, with the wire's faults taken at its handshake.
  CCardTransaction transaction;
  std::uint32_t index = 0;  // the exchange under way; 0 is the first command byte
  bool flipToPc = false;
  bool flipFromPc = false;
  std::uint32_t flipByte = 0;
  std::uint8_t flipMask = 0;
  std::uint32_t pageIndex = 0;

  bool Present() const {
    return !faults.noCard &&
           (faults.silentAfter < 0 ||
            counters.transactions < static_cast<std::uint64_t>(faults.silentAfter));
  }

  // One clock step of the exchange: the card's bit goes out on the falling
  // edge and the PC's bit is taken on the rising edge.
  void Shift(std::uint8_t value) {
    const bool level = (value & kClock) != 0;
    if (level == clock) return;
    clock = level;
    if (!level) {
      status = (out & 0x80) ? kAnswerBit : 0;
      out = static_cast<std::uint8_t>(out << 1);
      return;
    }
    in = static_cast<std::uint8_t>((in << 1) | ((value >> 1) & 1));
    if (++bits == 8) FinishExchange();
  }

  // The byte goes out as the card means it, unless the wire corrupts it.
  void Send(std::uint8_t byte) {
    out = (flipToPc && index == flipByte) ? static_cast<std::uint8_t>(byte ^ flipMask) : byte;
  }

  void FinishExchange() {
    bits = 0;
    std::uint8_t received = in;
    if (flipFromPc && index == flipByte) received ^= flipMask;
    ++index;
    Send(transaction.Take(received));
    const CCardTransaction::Result result = transaction.TakeResult();
    if (result != CCardTransaction::Result::None) Conclude(result);
  }

  void RaiseLine();
  void SlowData(std::uint8_t value);
  std::uint8_t SlowStatus();
  void Conclude(CCardTransaction::Result result);
  bool StoreUnit();
  Result Store(std::uint32_t pageNumber, std::uint32_t start, const std::uint8_t* bytes,
               std::uint32_t length);
  Result WriteImage(std::uint32_t pageNumber, const std::uint8_t* page, std::uint32_t start,
                    std::uint32_t length);
};

void CSimulatedCard::State::RaiseLine() {
  if (!Present()) {
    phase = Phase::Absent;
    return;
  }
  const std::uint64_t number = counters.transactions++;
  stuck = faults.statusStuckHigh ? kAnswerBit : 0;
  const bool flipHere =
      faults.flipDirection != CardFaults::FlipDirection::None &&
      (faults.flipTransaction < 0 || static_cast<std::uint64_t>(faults.flipTransaction) == number);
  flipToPc = flipHere && faults.flipDirection == CardFaults::FlipDirection::ToPc;
  flipFromPc = flipHere && faults.flipDirection == CardFaults::FlipDirection::FromPc;
  flipByte = faults.flipByte;
  flipMask = faults.flipMask;
  pageIndex = selectedPage;

  index = 0;
  bits = 0;
  in = 0;
  status = 0;  // the answer to the raised line: bit 6 low
  handshakeReads = 0;
  answerDelay = faults.slowHandshakeReads;
  phase = answerDelay != 0 ? Phase::Answering : Phase::Exchange;
  const std::uint8_t* page = memory.data() + std::size_t{pageIndex} * kPageSize;
  Send(transaction.Begin(page, faults.wrongAnswers, faults.wrongChecksum));
}

void CSimulatedCard::State::SlowData(std::uint8_t value) {
  if (phase == Phase::Answering) {
    // The PC went on without waiting for the answer: the bytes start now.
    phase = Phase::Exchange;
    Shift(value);
    return;
  }
  clock = (value & kClock) != 0;
  // Each handshake begins with the clock written high; the slow answer counts
  // the status reads from there.
  handshakeReads = 0;
}

std::uint8_t CSimulatedCard::State::SlowStatus() {
  if (faults.statusStuckHigh && phase != Phase::Answering) return kAnswerBit;
  switch (phase) {
    case Phase::Idle:
      if (!Present() || !clock) return 0;
      return ++handshakeReads > faults.slowHandshakeReads ? kAnswerBit : 0;
    case Phase::Answering:
      if (++handshakeReads <= answerDelay) return kAnswerBit;
      phase = Phase::Exchange;
      return status | stuck;
    case Phase::Exchange:
      return status | stuck;
    case Phase::Absent:
      break;
  }
  return 0;
}

void CSimulatedCard::State::Conclude(CCardTransaction::Result result) {
  switch (result) {
    case CCardTransaction::Result::Read:
      ++counters.reads;
      break;
    case CCardTransaction::Result::WriteUnit:
      if (StoreUnit()) ++counters.writeUnits;
      break;
    case CCardTransaction::Result::PageSelect:
      // A page the card lacks passes the checksum and selects nothing.
      if (transaction.GetAddress() < kPageCount) {
        selectedPage = transaction.GetAddress();
        ++counters.pageSelects;
      }
      break;
    case CCardTransaction::Result::BadChecksum:
      ++counters.badChecksums;
      break;
    case CCardTransaction::Result::None:
      break;
  }
}

bool CSimulatedCard::State::StoreUnit() {
  const Result stored = Store(pageIndex, transaction.GetAddress() & kAddressMask,
                              transaction.GetUnit().data(), kUnitSize);
  if (stored) return true;
  refusal = stored;
  return false;
}

Result CSimulatedCard::State::Store(std::uint32_t pageNumber, std::uint32_t start,
                                    const std::uint8_t* bytes, std::uint32_t length) {
  std::uint8_t* page = memory.data() + std::size_t{pageNumber} * kPageSize;
  std::vector<std::uint8_t> old(length);
  for (std::uint32_t k = 0; k < length; ++k) {
    old[k] = page[(start + k) & kAddressMask];
    page[(start + k) & kAddressMask] = bytes[k];
  }
  if (!image || pageNumber >= image->GetPageCount()) return Result();
  const Result written = WriteImage(pageNumber, page, start, length);
  if (written) return written;

  // The card refuses what its image cannot keep: memory keeps what it held,
  // and so, as far as the disk still lets it, does the file.
  for (std::uint32_t k = 0; k < length; ++k)
    page[(start + k) & kAddressMask] = old[k];
  static_cast<void>(WriteImage(pageNumber, page, start, length));  // the refusal says enough
  return written;
}

// The file is written in whole groups of four, so that a storage-order file
// gets whole groups; bytes past the page's end wrap to its start.
Result CSimulatedCard::State::WriteImage(std::uint32_t pageNumber, const std::uint8_t* page,
                                         std::uint32_t start, std::uint32_t length) {
  const std::uint32_t first = start & ~3u;
  const std::uint32_t end = (start + length + 3) & ~3u;
  if (end <= kPageSize) return image->WritePageBytes(pageNumber, first, page + first, end - first);
  const Result written = image->WritePageBytes(pageNumber, first, page + first, kPageSize - first);
  return written ? image->WritePageBytes(pageNumber, 0, page, end - kPageSize) : written;
}

CSimulatedCard::CSimulatedCard() : state_(std::make_unique<State>()) {}

CSimulatedCard::~CSimulatedCard() = default;

Result CSimulatedCard::OpenImage(const std::string& path, ImageAccess access,
                                 const FileCalls& calls) {
  auto image = std::make_unique<CCardImageFile>(calls);
  std::vector<std::uint8_t> pages;
  Result opened = image->Open(path, access, pages);
  if (!opened) return opened;
  State& s = *state_;
  std::copy(pages.begin(), pages.end(), s.memory.begin());
  std::fill(s.memory.begin() + static_cast<std::ptrdiff_t>(pages.size()), s.memory.end(), 0xFF);
  s.image = std::move(image);
  s.refusal = Result();
  s.selectedPage = 0;  // a card put in starts on its first page
  return Result();
}

Result CSimulatedCard::CheckPageNumber(std::uint16_t page) const {
  // An image holds one page or four, and no page is past four.
  if (page <= GetPageCount()) return Result();
  return Result::Failure(message::kImageOnePage.text);
}

Result CSimulatedCard::CheckWritable() const {
  const CCardImageFile* image = state_->image.get();
  if (image == nullptr || image->IsWritable()) return Result();
  return Result::Failure(CCardImageFile::ReadOnlyMessage(image->GetPath()));
}

Result CSimulatedCard::CheckOutput(const std::string& path) const {
  const CCardImageFile* image = state_->image.get();
  if (image == nullptr || !image->IsNamedBy(path)) return Result();
  return Result::Failure(Fill(message::kImageIsOutput, {path}));
}

Result CSimulatedCard::SyncImage() {
  return state_->image ? state_->image->Sync() : Result();
}

std::uint32_t CSimulatedCard::GetPageCount() const {
  return state_->image ? state_->image->GetPageCount() : kPageCount;
}

void CSimulatedCard::WriteData(std::uint8_t value) {
  State& s = *state_;
  if (s.phase == Phase::Exchange) {
    s.Shift(value);
  } else {
    s.SlowData(value);
  }
}

void CSimulatedCard::WriteControl(std::uint8_t value) {
  State& s = *state_;
  if ((value & 0x01) == 0) {
    // Whatever was under way is dropped; a write unit is stored only at its
    // checksum exchange, so nothing half-written remains.
    s.phase = Phase::Idle;
    s.handshakeReads = 0;
    return;
  }
  if (s.phase == Phase::Idle) s.RaiseLine();
}

std::uint8_t CSimulatedCard::ReadStatus() {
  State& s = *state_;
  if (s.phase == Phase::Exchange) return s.status | s.stuck;
  return s.SlowStatus();
}

std::uint8_t* CSimulatedCard::GetPage(std::uint32_t page) {
  if (page >= kPageCount) return nullptr;
  return state_->memory.data() + std::size_t{page} * kPageSize;
}

std::uint32_t CSimulatedCard::GetSelectedPage() const {
  return state_->selectedPage;
}

bool CSimulatedCard::SelectPage(std::uint32_t page) {
  if (page >= kPageCount) return false;
  state_->selectedPage = page;
  return true;
}

Result CSimulatedCard::StoreBytes(std::uint32_t offset, const std::uint8_t* wire,
                                  std::uint32_t length) {
  return state_->Store(state_->selectedPage, offset, wire, length);
}

CardFaults& CSimulatedCard::Faults() {
  return state_->faults;
}

Result CSimulatedCard::TakeRefusal() {
  return std::exchange(state_->refusal, Result());
}

const CSimulatedCard::Counters& CSimulatedCard::GetCounters() const {
  return state_->counters;
}

void CSimulatedCard::ResetCounters() {
  state_->counters = Counters();
}
