#include "CardOnSimulator.h"

#include <cstring>

#include "WireDecoder.h"

namespace {
std::unique_ptr<CVmuCard> Configured(std::unique_ptr<CVmuCard> card) {
  card->GetLink()->SetDelayFactor(0);
  card->GetLink()->SetTimeout(2000);
  return card;
}

std::string Describe(const std::vector<std::uint8_t>& sent) {
  if (sent.size() >= 3 && sent[1] == 0x6A) return "P" + std::to_string(sent[2]);
  if (sent.size() < 6) return "?";
  const std::uint32_t address =
      sent[2] | sent[3] << 8 | sent[4] << 16 | std::uint32_t{sent[5]} << 24;
  using card_format::kBlockSize;
  if (sent[1] != 0xA9) {
    return "W" + std::to_string(address / kBlockSize) + "/" +
           std::to_string(address % kBlockSize / CVmuLink::kWriteUnit);
  }
  const std::uint32_t length = sent.size() >= 8 ? sent[6] | sent[7] << 8 : 0;
  if (address % kBlockSize == 0 && length == kBlockSize) {
    return "R" + std::to_string(address / kBlockSize);
  }
  return "R@" + std::to_string(address) + "#" + std::to_string(length);
}
}  // namespace

CCardOnSimulator::CCardOnSimulator(CCounterSource& counter) {
  auto recorder = std::make_unique<CRecordingPortRoad>(&road_);
  recorder_ = recorder.get();
  card_ = Configured(
      std::make_unique<CVmuCard>(std::make_unique<CVmuLink>(std::move(recorder), counter)));
}

std::unique_ptr<CVmuCard> CCardOnSimulator::MakeCard() {
  return Configured(std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(sim_)));
}

void CCardOnSimulator::SwapCard(const CPageImage& image, std::uint32_t page) {
  std::memcpy(sim_.GetPage(page), image.GetData(), card_format::kPageSize);
  card_format::ReverseGroups(sim_.GetPage(page), card_format::kPageSize);
}

void CCardOnSimulator::LoadPage(const CPageImage& image, std::uint32_t page) {
  SwapCard(image, page);
  card_->Invalidate();
  recorder_->Clear();
}

CPageImage CCardOnSimulator::ReadPage(std::uint32_t page) {
  CPageImage image;
  std::memcpy(image.GetData(), sim_.GetPage(page), card_format::kPageSize);
  card_format::ReverseGroups(image.GetData(), card_format::kPageSize);
  return image;
}

std::vector<std::string> CCardOnSimulator::TakeTransfers() {
  const auto transactions = DecodeTransactions(recorder_->GetRecords());
  std::size_t next = 0;
  bool raised = false;
  std::vector<std::string> words;
  for (std::uint8_t control : recorder_->Written(kControlRegister)) {
    if (control & 1) {
      if (next < transactions.size()) words.push_back(Describe(transactions[next++].sent));
    } else if (!raised) {
      words.push_back("-");  // the card never answered the handshake
    }
    raised = control & 1;
  }
  recorder_->Clear();
  return words;
}

std::vector<std::string> CCardOnSimulator::BlockStore(std::uint32_t block) {
  std::vector<std::string> words;
  for (int unit = 0; unit < 4; ++unit)
    words.push_back("W" + std::to_string(block) + "/" + std::to_string(unit));
  return words;
}

CVmuDirEntry MakeEntry(std::uint8_t type, std::uint16_t firstBlock, std::uint16_t size) {
  const std::uint8_t zero[CVmuDirEntry::kLength] = {};
  CVmuDirEntry entry;
  entry.CopyFrom(zero);
  entry.SetType(type);
  entry.SetFirstBlock(firstBlock);
  entry.SetSize(size);
  return entry;
}

std::uint8_t* EntrySlot(CPageImage& page, std::uint16_t n, std::uint16_t start) {
  using namespace card_format;
  return page.GetBlock(static_cast<std::uint16_t>(start - n / kEntriesPerBlock)) +
         n % kEntriesPerBlock * kDirEntrySize;
}

CPageImage NoisePage(std::uint32_t seed) {
  CPageImage image;
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint32_t i = 0; i < card_format::kPageSize; ++i) {
    state = state * 1664525u + 1013904223u;
    image.GetData()[i] = static_cast<std::uint8_t>(state >> 24);
  }
  return image;
}
