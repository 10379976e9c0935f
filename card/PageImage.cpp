#include "PageImage.h"

#include <cstring>

#include "FileWriter.h"
#include "Messages.h"
#include "VmuFat.h"
#include "VmuTimestamp.h"

using card_format::kBlockSize;
using card_format::kEntriesPerBlock;
using card_format::PutLe16;

CPageImage::CPageImage() : bytes_(card_format::kPageSize, 0) {}

CPageImage CPageImage::FormattedNow() {
  return Formatted(CVmuTimestamp::Now().GetData());
}

CPageImage CPageImage::Formatted(const std::uint8_t* stamp) {
  CPageImage page;
  std::uint8_t* root = page.GetBlock(kRootBlock);
  using namespace card_format;
  std::memset(root + kRootFormatMarker, kFormatMarkerByte, kFormatMarkerLength);
  if (stamp != nullptr) std::memcpy(root + kRootStamp, stamp, 8);
  PutLe16(root + kRootLastBlock, kBlocksPerPage - 1);
  PutLe16(root + kRootLocation, kRootBlock);
  PutLe16(root + kRootFatStart, kFatBlock);
  PutLe16(root + kRootFatBlockCount, 1);
  PutLe16(root + kRootDirectoryStart, kDirectoryStart);
  PutLe16(root + kRootDirectoryBlockCount, kDirectoryBlocks);
  PutLe16(root + kRootDirectoryEntryCount, kEntryCount);
  PutLe16(root + kRootGameAreaStart, 31);
  PutLe16(root + kRootMaxGameBlocks, 128);

  for (std::uint16_t block = 0; block < kDirectoryStart - kDirectoryBlocks + 1; ++block) {
    page.SetFatEntry(block, CVmuFat::kFree);
  }
  // The directory is chained from its first block down to its last.
  for (std::uint16_t block = kDirectoryStart; block > kDirectoryStart - kDirectoryBlocks + 1;
       --block) {
    page.SetFatEntry(block, static_cast<std::uint16_t>(block - 1));
  }
  page.SetFatEntry(kDirectoryStart - kDirectoryBlocks + 1, CVmuFat::kLastBlock);
  page.SetFatEntry(kFatBlock, CVmuFat::kLastBlock);
  page.SetFatEntry(kRootBlock, CVmuFat::kLastBlock);
  return page;
}

std::uint16_t CPageImage::GetFatEntry(std::uint16_t block) const {
  return card_format::GetLe16(bytes_.data() + kFatBlock * kBlockSize + 2 * block);
}

void CPageImage::SetFatEntry(std::uint16_t block, std::uint16_t value) {
  PutLe16(GetBlock(kFatBlock) + 2 * block, value);
}

bool CPageImage::PlaceFile(std::uint16_t slot, const CVmuDirEntry& entry,
                           const std::uint8_t* blocks) {
  const std::uint16_t first = entry.GetFirstBlock();
  const std::uint16_t size = entry.GetSize();
  if (slot >= kDirectoryBlocks * kEntriesPerBlock) return false;
  // A game lies from its first block upward, a data file downward.
  const bool game = entry.GetType() == CVmuDirEntry::kGame;
  if (first >= card_format::kBlocksPerPage || size == 0) return false;
  if (game ? first + size > card_format::kBlocksPerPage : size > first + 1) return false;

  const std::uint32_t slotBlock = kDirectoryStart - slot / kEntriesPerBlock;
  std::memcpy(GetBlock(static_cast<std::uint16_t>(slotBlock)) +
                  (slot % kEntriesPerBlock) * CVmuDirEntry::kLength,
              entry.GetData(), CVmuDirEntry::kLength);
  const int step = game ? 1 : -1;
  for (std::uint16_t k = 0; k < size; ++k) {
    const auto block = static_cast<std::uint16_t>(first + step * k);
    std::memcpy(GetBlock(block), blocks + k * kBlockSize, kBlockSize);
    SetFatEntry(block,
                k + 1 < size ? static_cast<std::uint16_t>(block + step) : CVmuFat::kLastBlock);
  }
  return true;
}

Result CPageImage::WriteNewFile(const std::string& path, const std::vector<CPageImage>& pages) {
  card_format::ByteOrder order;
  if (!card_format::ImageOrderFor(path, order)) {
    return Result::Failure(Fill(message::kImageName, {path}));
  }
  if (pages.size() != 1 && pages.size() != card_format::kPageCount) {
    return Result::Failure(Fill(message::kImagePageCount, {path}));
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(pages.size() * card_format::kPageSize);
  for (const CPageImage& page : pages)
    bytes.insert(bytes.end(), page.bytes_.begin(), page.bytes_.end());
  if (order == card_format::ByteOrder::Wire) card_format::ReverseGroups(bytes.data(), bytes.size());
  return ::WriteNewFile(path, bytes.data(), bytes.size());
}
