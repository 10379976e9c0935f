#include "CardOnSimulator.h"

#include <cstring>

#include "WireDecoder.h"

namespace {
void Configure(CVmuCard& card) {
  card.GetLink()->SetDelayFactor(0);
  card.GetLink()->SetTimeout(CCardOnSimulator::kTimeout);
}

std::uint32_t Number(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = value << 8 | bytes[at + i];
  return value;
}

std::string Describe(const std::vector<std::uint8_t>& sent) {
  if (sent.size() >= 3 && sent[0] == 0x40 && sent[1] == 0x6A) return "P" + std::to_string(sent[2]);
  if (sent.size() < 6) return "?";
  const std::uint32_t address = Number(sent, 2, 4);
  if (sent[1] == 0xA9 && sent.size() >= 8) {
    const std::uint32_t length = Number(sent, 6, 2);
    if (address % 512 == 0 && length == 512) return "R" + std::to_string(address / 512);
    return "R@" + std::to_string(address) + "#" + std::to_string(length);
  }
  return "W" + std::to_string(address / 512) + "/" + std::to_string(address % 512 / 128);
}
}  // namespace

CCardOnSimulator::CCardOnSimulator() {
  auto recorder = std::make_unique<CRecordingPortRoad>(&road_);
  recorder_ = recorder.get();
  card_ = std::make_unique<CVmuCard>(std::move(recorder));
  Configure(*card_);
}

std::unique_ptr<CVmuCard> CCardOnSimulator::MakeCard() {
  auto card = std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(sim_));
  Configure(*card);
  return card;
}

void CCardOnSimulator::LoadPage(const CPageImage& image, std::uint32_t page) {
  std::uint8_t* wire = sim_.GetPage(page);
  std::memcpy(wire, image.GetData(), CPageImage::kSize);
  CPageImage::ReverseGroups(wire, CPageImage::kSize);
}

CPageImage CCardOnSimulator::ReadPage(std::uint32_t page) {
  CPageImage image;
  std::memcpy(image.GetData(), sim_.GetPage(page), CPageImage::kSize);
  CPageImage::ReverseGroups(image.GetData(), CPageImage::kSize);
  return image;
}

std::vector<std::string> CCardOnSimulator::TakeTransfers() {
  const auto transactions = DecodeTransactions(recorder_->GetRecords());
  std::size_t next = 0;
  bool raised = false;
  std::vector<std::string> words;
  for (const auto& record : recorder_->GetRecords()) {
    if (!record.write || record.offset != kControlRegister) continue;
    if ((record.value & 1) == 0) {
      if (!raised) words.push_back("-");  // the card never answered the handshake
      raised = false;
      continue;
    }
    raised = true;
    if (next < transactions.size()) words.push_back(Describe(transactions[next++].sent));
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
  return page.GetBlock(static_cast<std::uint16_t>(start - n / 16)) + n % 16 * 32;
}

CPageImage NoisePage(std::uint32_t seed) {
  CPageImage image;
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint32_t i = 0; i < CPageImage::kSize; ++i) {
    state = state * 1664525u + 1013904223u;
    image.GetData()[i] = static_cast<std::uint8_t>(state >> 24);
  }
  return image;
}
