#include "VmuCard.h"

#include <algorithm>
#include <utility>

#include "StatusCodes.h"
#include "VmuDirEntry.h"

CVmuCard::CVmuCard() : CVmuCard(std::make_unique<CVmuLink>()) {}

CVmuCard::CVmuCard(std::unique_ptr<CPortRoad> road)
    : CVmuCard(std::make_unique<CVmuLink>(std::move(road))) {}

CVmuCard::CVmuCard(std::unique_ptr<CCardTransport> transport)
    : transport_(std::move(transport)),
      link_(dynamic_cast<CVmuLink*>(transport_.get())),
      cache_(std::make_unique<CVmuMemory>(kBlockCount, transport_.get())),
      rootBlock_(std::make_unique<CVmuRootBlock>(cache_.get())) {}

CVmuCard::~CVmuCard() = default;

bool CVmuCard::Fail(std::uint32_t code) {
  lastError_ = code;
  return false;
}

bool CVmuCard::GetDirectory(CVmuDirectory*& directory) {
  if (!rootBlock_->GetDirectory(directory)) return Fail(rootBlock_->GetLastError());
  return true;
}

bool CVmuCard::ReadDirEntry(std::uint16_t n, CVmuBuffer& entry) {
  CVmuDirectory* directory = nullptr;
  if (!GetDirectory(directory)) return false;
  if (!directory->ReadEntry(n, entry)) return Fail(directory->GetLastError());
  return true;
}

bool CVmuCard::WriteDirEntry(std::uint16_t n, const CVmuBuffer& entry) {
  CVmuDirectory* directory = nullptr;
  if (!GetDirectory(directory)) return false;
  if (!directory->WriteEntry(n, entry)) return Fail(directory->GetLastError());
  return true;
}

bool CVmuCard::GetEntryCount(std::uint16_t& out) {
  CVmuDirectory* directory = nullptr;
  if (!GetDirectory(directory)) return false;
  out = static_cast<std::uint16_t>(std::min<std::uint32_t>(directory->GetCapacity(), 0xFFFF));
  return true;
}

bool CVmuCard::ReadDirectory() {
  CVmuDirectory* directory = nullptr;
  if (!GetDirectory(directory)) return false;
  const std::uint32_t start = directory->GetStartBlock(), count = directory->GetBlockCount();
  // A directory that leaves the page is left to the reads of its entries to refuse.
  if (count == 0 || start >= kBlockCount || start + 1 < count) return true;
  if (!cache_->Preload(start + 1 - count, count)) return Fail(cache_->GetLastError());
  return true;
}

bool CVmuCard::GetNewEntryLimit(std::uint16_t& out) {
  std::uint16_t slots = 0, count = 0;
  if (!GetEntryCount(slots)) return false;
  if (!rootBlock_->GetDirectoryEntryCount(count)) return Fail(rootBlock_->GetLastError());
  // Real cards carry 240 or 241 here with 13 directory blocks (208 entries):
  // the entries past the directory's end would be read from user blocks.
  out = std::min(count, slots);
  return true;
}

bool CVmuCard::RunIsOnPage(std::uint16_t start, std::uint32_t count) {
  return start < kBlockCount && count <= std::uint32_t{start} + 1;
}

bool CVmuCard::ReadChain(std::uint16_t first, std::uint16_t size, CVmuChain& out) {
  CVmuDirectory* directory = nullptr;
  CVmuFat* fat = nullptr;
  if (!GetDirectory(directory)) return false;
  if (!rootBlock_->GetFat(fat)) return Fail(rootBlock_->GetLastError());
  if (!fat->ReadChain(first, size, *directory, out)) return Fail(fat->GetLastError());
  return true;
}

bool CVmuCard::OpenFile(std::uint16_t n, std::unique_ptr<CVmuRegion>& out) {
  chainFault_ = CVmuChain();
  CVmuDirEntry entry;
  if (!ReadDirEntry(n, entry)) return false;
  CVmuChain chain;
  if (!ReadChain(entry.GetFirstBlock(), entry.GetSize(), chain)) return false;
  if (!chain.IsSound()) {
    chainFault_ = std::move(chain);
    return Fail(status::kCacheReadAddress);
  }
  out = std::make_unique<CVmuRegion>(std::move(chain.blocks), cache_.get());
  return true;
}

bool CVmuCard::MakeRegion(std::uint16_t start, std::uint16_t count,
                          std::unique_ptr<CVmuRegion>& out) {
  if (!RunIsOnPage(start, count)) return Fail(status::kCacheWriteAddress);
  out = std::make_unique<CVmuRegion>(start, count, cache_.get());
  return true;
}

bool CVmuCard::MakeRegion(const std::vector<std::uint16_t>& blocks,
                          std::unique_ptr<CVmuRegion>& out) {
  for (const std::uint16_t block : blocks) {
    if (block >= kBlockCount) return Fail(status::kCacheWriteAddress);
  }
  out = std::make_unique<CVmuRegion>(blocks, cache_.get());
  return true;
}

bool CVmuCard::CloseFile(std::unique_ptr<CVmuRegion>& region) {
  region.reset();
  return true;
}

bool CVmuCard::Flush() {
  if (!cache_->Flush()) return Fail(cache_->GetLastError());
  return true;
}

void CVmuCard::DiscardChanges() {
  cache_->Discard();
}

bool CVmuCard::Invalidate() {
  rootBlock_->ForgetLayout();
  return cache_->Invalidate();
}
