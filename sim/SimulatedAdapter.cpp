#include "SimulatedAdapter.h"

#include <algorithm>
#include <array>
#include <deque>
#include <utility>

#include "AdapterPacket.h"
#include "CardFormat.h"
#include "Messages.h"
#include "PacketParser.h"

using namespace adapter_packet;

namespace {
constexpr std::size_t kSlots = maple::kPortCount * maple::kSlotCount;
constexpr std::size_t kFlushBytes = 256;
constexpr std::uint32_t kBlockWords = card_format::kBlockSize / 4;
constexpr std::uint32_t kPhaseWords = maple::kPhaseBytes / 4;
constexpr std::uint8_t kMapleReadFailed = 4;
constexpr std::uint8_t kNoSuchPort = 2;
// The function definitions the simulated controller and card report.
constexpr std::uint32_t kControllerDefinition = 0x000F06FE;
constexpr std::uint32_t kStorageDefinition = 0x000F4100;

std::size_t IndexOf(CardSlot slot) {
  return std::size_t{slot.port} * maple::kSlotCount + slot.slot - 1u;
}

void AppendFunction(std::vector<std::uint8_t>& bytes, std::uint32_t code,
                    std::uint32_t definition) {
  for (std::uint32_t word : {code, definition}) {
    bytes.push_back('|');
    bytes.resize(bytes.size() + 4);
    maple::PutWord(&bytes[bytes.size() - 4], word);
  }
}

// The card's answer; the addresses are filled in on the way back.
MapleFrame CardAnswer(std::uint8_t command, std::vector<std::uint32_t> words = {}) {
  MapleFrame reply;
  reply.command = command;
  reply.words = std::move(words);
  return reply;
}

// Storage-order bytes of one write part, put into the image in its order.
Result StoreInImage(CCardImageFile& image, std::uint32_t offset, const std::uint8_t* part) {
  std::uint8_t wire[maple::kPhaseBytes];
  std::copy(part, part + sizeof(wire), wire);
  card_format::ReverseGroups(wire, sizeof(wire));
  return image.WritePageBytes(0, offset, wire, sizeof(wire));
}

struct Card {
  std::vector<std::uint8_t> page;  // storage order
  std::unique_ptr<CCardImageFile> image;
  bool wroteBefore = false;
  std::int64_t lastWriteFrame = 0;
};
}  // namespace

struct CSimulatedAdapter::State {
  explicit State(CAdapterClock& c) : clock(c) {}

  bool FaultHits(AdapterFaults::Kind kind, std::int64_t request) const {
    return faults.kind == kind && request >= faults.from &&
           (faults.count < 0 || request < faults.from + faults.count);
  }
  void Answer(const AdapterPacket& request, std::int64_t nth);
  AdapterPacket Extended(const AdapterPacket& request) const;
  AdapterPacket Maple(const AdapterPacket& request, std::int64_t nth);
  MapleFrame Storage(const MapleFrame& frame, Card& card, std::int64_t nth);
  MapleFrame Write(const MapleFrame& frame, Card& card, std::int64_t nth);

  CAdapterClock& clock;
  Result refusal;  // why the image refused a write part, for the channel's Write
  Result loss;     // the adapter left the bus: no transfer goes through again
  AdapterFaults faults;
  Counters counters;
  CPacketParser parser;
  std::deque<std::vector<std::uint8_t>> waiting;  // replies not yet handed to a read
  std::vector<std::uint8_t> outgoing;             // bytes handed out in order
  std::array<std::unique_ptr<Card>, kSlots> cards;
  bool showsDrive = false;
};

void CSimulatedAdapter::State::Answer(const AdapterPacket& request, std::int64_t nth) {
  if (FaultHits(AdapterFaults::Kind::Silence, nth)) return;
  AdapterPacket reply;
  if (FaultHits(AdapterFaults::Kind::Failure, nth)) {
    reply = {request.address, kFailure, {kMapleReadFailed}};
  } else if (request.command == kMaple) {
    reply = Maple(request, nth);
  } else if (request.command == kExtended) {
    reply = Extended(request);
  } else {
    reply = {request.address, kUnknown, {request.command}};
  }
  if (!refusal) return;  // the request fails on the channel instead
  std::vector<std::uint8_t> bytes = Build(reply);
  if (FaultHits(AdapterFaults::Kind::BadCrc, nth)) bytes.back() ^= 0x01;
  if (FaultHits(AdapterFaults::Kind::BytesBefore, nth)) {
    bytes.insert(bytes.begin(), {0x00, 0xDB, 0x8B, 0x11, 0xDB});
  }
  waiting.push_back(std::move(bytes));
}

AdapterPacket CSimulatedAdapter::State::Extended(const AdapterPacket& request) const {
  const std::vector<std::uint8_t>& in = request.payload;
  if (in.size() == 1 && in[0] == kVersion) return {request.address, kSuccess, {1, 0}};
  if (in.size() == 1 && in[0] == kPortStatus) return {request.address, kSuccess, {2, 2, 2, 2}};
  if (in.size() != 2 || in[0] != kAttached) return {request.address, kInvalid, {}};
  if (in[1] >= maple::kPortCount) return {request.address, kFailure, {kNoSuchPort}};
  std::vector<std::uint8_t> devices;
  AppendFunction(devices, 0x01, kControllerDefinition);
  std::uint8_t last = 0;  // empty slots past the last card are left out
  for (std::uint8_t slot = 1; slot <= maple::kSlotCount; ++slot) {
    if (cards[IndexOf({in[1], slot})]) last = slot;
  }
  for (std::uint8_t slot = 1; slot <= last; ++slot) {
    devices.push_back(';');
    if (!cards[IndexOf({in[1], slot})]) continue;
    AppendFunction(devices, maple::kStorageFunction, kStorageDefinition);
    AppendFunction(devices, maple::kScreenFunction, 0);
    AppendFunction(devices, maple::kClockFunction, 0);
  }
  return {request.address, kSuccess, devices};
}

AdapterPacket CSimulatedAdapter::State::Maple(const AdapterPacket& request, std::int64_t nth) {
  std::vector<std::uint8_t> in = request.payload;
  if (in.empty()) return {request.address, kInvalid, {}};
  if (in.size() % 4 != 0 || in.size() / 4 > 256) return {request.address, kFailure, {0}};
  in[3] = static_cast<std::uint8_t>(in.size() / 4 - 1);  // the adapter counts the words itself
  MapleFrame frame;
  frame.Decode(in);
  const auto port = static_cast<std::uint8_t>(frame.sender >> 6);
  const auto slotBits = static_cast<std::uint8_t>(frame.recipient & 0x1F);
  const auto slot = static_cast<std::uint8_t>(slotBits == 0x01 ? 1 : slotBits == 0x02 ? 2 : 0);
  Card* card = slot == 0 ? nullptr : cards[IndexOf({port, slot})].get();
  if (card == nullptr) return {request.address, kFailure, {kMapleReadFailed}};
  MapleFrame reply = Storage(frame, *card, nth);
  reply.recipient = maple::HostAddress(port);
  reply.sender = maple::CardAddress({port, slot});
  return {request.address, kSuccess, reply.Encode()};
}

MapleFrame CSimulatedAdapter::State::Storage(const MapleFrame& frame, Card& card,
                                             std::int64_t nth) {
  if (frame.command != maple::kBlockRead && frame.command != maple::kBlockWrite &&
      frame.command != maple::kGetLastError) {
    return CardAnswer(maple::kUnknownCommand);
  }
  if (frame.words.size() < 2 || frame.words[0] != maple::kStorageFunction) {
    return CardAnswer(maple::kFunctionUnsupported);
  }
  const std::uint32_t block = frame.words[1] & 0xFFFF;
  const std::uint32_t phase = frame.words[1] >> 16 & 0xFF;
  if (block >= card_format::kBlocksPerPage) return CardAnswer(maple::kFileError, {0});
  if (frame.command != maple::kBlockRead) return Write(frame, card, nth);
  if (phase != 0 || frame.words.size() != 2) return CardAnswer(maple::kFileError, {0});
  ++counters.blockReads;
  MapleFrame reply = CardAnswer(maple::kDataTransfer, {frame.words[0], frame.words[1]});
  const std::uint8_t* at = card.page.data() + block * card_format::kBlockSize;
  for (std::uint32_t i = 0; i < kBlockWords; ++i)
    reply.words.push_back(maple::GetWord(at + 4 * i));
  return reply;
}

MapleFrame CSimulatedAdapter::State::Write(const MapleFrame& frame, Card& card, std::int64_t nth) {
  const bool commit = frame.command == maple::kGetLastError;
  const std::uint32_t phase = frame.words[1] >> 16 & 0xFF;
  const bool shaped = commit ? phase == maple::kWritePhases && frame.words.size() == 2
                             : phase < maple::kWritePhases && frame.words.size() == 2 + kPhaseWords;
  if (!shaped) return CardAnswer(maple::kFileError, {0});
  const std::int64_t now = clock.Now();
  if ((card.wroteBefore && now - card.lastWriteFrame < kWritePause) ||
      FaultHits(AdapterFaults::Kind::TransmitAgain, nth)) {
    ++counters.transmitAgain;
    return CardAnswer(maple::kTransmitAgain);
  }
  card.wroteBefore = true;
  card.lastWriteFrame = now;
  if (!commit) {
    // Each part is stored as it comes, as the card's flash takes it.
    const std::uint32_t offset =
        (frame.words[1] & 0xFFFF) * card_format::kBlockSize + phase * maple::kPhaseBytes;
    std::uint8_t part[maple::kPhaseBytes];
    for (std::uint32_t i = 0; i < kPhaseWords; ++i)
      maple::PutWord(part + 4 * i, frame.words[2 + i]);
    if (card.image) {
      Result stored = StoreInImage(*card.image, offset, part);
      if (!stored) {
        // The card refuses what its image cannot keep: memory keeps what it
        // held, and so, as far as the disk still lets it, does the file.
        static_cast<void>(StoreInImage(*card.image, offset, card.page.data() + offset));
        refusal = std::move(stored);
        return CardAnswer(maple::kFileError, {0});
      }
    }
    std::copy(part, part + sizeof(part), card.page.begin() + offset);
  }
  ++counters.writeFrames;
  return CardAnswer(maple::kAcknowledge);
}

CSimulatedAdapter::CSimulatedAdapter(CAdapterClock& clock)
    : state_(std::make_unique<State>(clock)) {}

CSimulatedAdapter::~CSimulatedAdapter() = default;

void CSimulatedAdapter::InsertCard(CardSlot slot, std::vector<std::uint8_t> page) {
  auto card = std::make_unique<Card>();
  card->page = std::move(page);
  card->page.resize(card_format::kPageSize, 0xFF);
  state_->cards[IndexOf(slot)] = std::move(card);
}

Result CSimulatedAdapter::InsertImage(CardSlot slot, const std::string& path, ImageAccess access,
                                      const FileCalls& calls) {
  auto card = std::make_unique<Card>();
  card->image = std::make_unique<CCardImageFile>(calls);
  Result opened = card->image->Open(path, access, card->page);
  if (!opened) return opened;
  // Its other pages would be out of every command's reach, and a restore of
  // the whole image could not be told from one of its first page.
  if (card->image->GetPageCount() != 1)
    return Result::Failure(Fill(message::kAdapterImageFourPages, {path}));
  card->page.resize(card_format::kPageSize);  // the first page is the card's
  card_format::ReverseGroups(card->page.data(), card->page.size());
  state_->cards[IndexOf(slot)] = std::move(card);
  return Result();
}

Result CSimulatedAdapter::CheckOutput(const std::string& path) const {
  for (const std::unique_ptr<Card>& card : state_->cards) {
    if (card && card->image && card->image->IsNamedBy(path))
      return Result::Failure(Fill(message::kImageIsOutput, {path}));
  }
  return Result();
}

void CSimulatedAdapter::RemoveCard(CardSlot slot) {
  state_->cards[IndexOf(slot)].reset();
}

Result CSimulatedAdapter::CheckWritable(CardSlot slot) const {
  const std::unique_ptr<Card>& card = state_->cards[IndexOf(slot)];
  if (!card || !card->image || card->image->IsWritable()) return Result();
  return Result::Failure(CCardImageFile::ReadOnlyMessage(card->image->GetPath()));
}

const std::uint8_t* CSimulatedAdapter::GetPage(CardSlot slot) const {
  const std::unique_ptr<Card>& card = state_->cards[IndexOf(slot)];
  return card ? card->page.data() : nullptr;
}

Result CSimulatedAdapter::Sync() {
  for (const std::unique_ptr<Card>& card : state_->cards) {
    if (!card || !card->image) continue;
    Result synced = card->image->Sync();
    if (!synced) return synced;
  }
  return Result();
}

void CSimulatedAdapter::Connect() {
  std::vector<std::uint8_t> bytes(kFlushBytes, 0x00);
  const std::vector<std::uint8_t> null = Build({0, 0, {}});
  bytes.insert(bytes.end(), null.begin(), null.end());
  state_->waiting.push_back(std::move(bytes));
}

void CSimulatedAdapter::ShowCardsAsDrive(bool shown) {
  state_->showsDrive = shown;
}

bool CSimulatedAdapter::ShowsCardsAsDrive() const {
  return state_->showsDrive;
}

AdapterFaults& CSimulatedAdapter::Faults() {
  return state_->faults;
}

const CSimulatedAdapter::Counters& CSimulatedAdapter::GetCounters() const {
  return state_->counters;
}

void CSimulatedAdapter::ResetCounters() {
  state_->counters = Counters();
}

// What a transfer to an adapter that left the bus gives.
Result CSimulatedAdapter::Unplugged() {
  state_->loss = Result::Failure(
      Fill(message::kUsbTransferFailed, {"No such device (it may have been disconnected)"}));
  return state_->loss;
}

const Result& CSimulatedAdapter::GetLoss() const {
  return state_->loss;
}

Result CSimulatedAdapter::Write(const std::uint8_t* bytes, std::size_t size) {
  State& state = *state_;
  if (state.faults.unplugged || !state.loss) return Unplugged();
  const std::uint64_t droppedBefore = state.parser.GetDropped();
  state.parser.Feed(bytes, size);
  state.counters.badPackets += state.parser.GetDropped() - droppedBefore;
  AdapterPacket packet;
  while (state.parser.Next(packet)) {
    const auto nth = static_cast<std::int64_t>(state.counters.requests++);
    state.Answer(packet, nth);
  }
  return std::exchange(state.refusal, Result());
}

Result CSimulatedAdapter::Read(std::vector<std::uint8_t>& arrived, std::int64_t deadline) {
  State& state = *state_;
  if (state.faults.unplugged || !state.loss) return Unplugged();
  if (state.faults.reverseOrder) std::reverse(state.waiting.begin(), state.waiting.end());
  for (const std::vector<std::uint8_t>& reply : state.waiting) {
    state.outgoing.insert(state.outgoing.end(), reply.begin(), reply.end());
  }
  state.waiting.clear();
  if (state.outgoing.empty()) {
    state.clock.Sleep(deadline - state.clock.Now());  // nothing comes before the deadline
    return Result();
  }
  std::size_t size = state.outgoing.size();
  if (state.faults.readSize != 0) size = std::min(size, state.faults.readSize);
  arrived.insert(arrived.end(), state.outgoing.begin(),
                 state.outgoing.begin() + static_cast<std::ptrdiff_t>(size));
  state.outgoing.erase(state.outgoing.begin(),
                       state.outgoing.begin() + static_cast<std::ptrdiff_t>(size));
  return Result();
}
