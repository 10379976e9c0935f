#include "CardIcon.h"

#include <algorithm>
#include <memory>

#include "CardFormat.h"
#include "FileTexts.h"
#include "IconDataFile.h"
#include "ListedFile.h"
#include "Messages.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
using card_format::kBlockSize;

std::uint32_t HeaderBlock(const CVmuDirEntry& entry) {
  return entry.GetType() == CVmuDirEntry::kGame ? card_format::kGameHeaderBlock
                                                : card_format::kDataHeaderBlock;
}

// Appends the file's bytes [offset, offset + size) of an open region, block by block.
bool ReadSpan(CVmuRegion& region, std::uint32_t offset, std::uint32_t size, std::string& bytes) {
  while (size > 0) {
    const std::uint32_t part = std::min(size, kBlockSize - offset % kBlockSize);
    const std::uint8_t* at = nullptr;
    if (!region.Read(offset, at, part, false)) return false;
    bytes.append(reinterpret_cast<const char*>(at), part);
    offset += part;
    size -= part;
  }
  return true;
}
}  // namespace

std::uint16_t IconFrameCount(const std::string& header) {
  if (header.size() < card_format::kHeaderIcons) return 0;
  const std::uint16_t count = card_format::GetLe16(
      reinterpret_cast<const std::uint8_t*>(header.data()) + card_format::kHeaderIconCount);
  return count >= 1 && count <= CardIcon::kMaxFrames ? count : 0;
}

std::uint32_t IconBytes(std::uint16_t frames) {
  return card_format::kHeaderIcons + std::uint32_t{frames} * card_format::kIconFrameSize;
}

void DecodePalette(const std::uint8_t* at, CardIcon& icon) {
  for (std::size_t i = 0; i < icon.palette.size(); ++i) {
    const std::uint16_t colour = card_format::GetLe16(at + 2 * i);
    std::uint32_t argb = 0;
    for (int shift = 12; shift >= 0; shift -= 4)
      argb = argb << 8 | ((colour >> shift) & 0x0Fu) * 0x11u;
    icon.palette[i] = argb;
  }
}

CardIcon::Frame DecodeFrame(const std::uint8_t* at) {
  CardIcon::Frame frame;
  for (std::size_t i = 0; i < frame.size(); i += 2) {
    frame[i] = at[i / 2] >> 4;
    frame[i + 1] = at[i / 2] & 0x0F;
  }
  return frame;
}

bool DecodeIcon(const std::string& bytes, std::uint16_t frames, CardIcon& icon) {
  frames = std::min(frames, IconFrameCount(bytes));
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  icon.frames.clear();
  for (std::uint16_t k = 0; k < frames && IconBytes(k + 1) <= bytes.size(); ++k)
    icon.frames.push_back(DecodeFrame(data + IconBytes(k)));
  if (icon.frames.empty()) return false;
  DecodePalette(data + card_format::kHeaderPalette, icon);
  icon.speed = card_format::GetLe16(data + card_format::kHeaderAnimationSpeed);
  return true;
}

std::uint32_t FileIconBytes(const CVmuDirEntry& entry, const std::string& header,
                            std::uint16_t frames) {
  IconDataLayout layout;
  if (ReadIconDataLayout(entry, header, layout)) return IconDataBytes(layout);
  const std::uint16_t count = std::min(frames, IconFrameCount(header));
  return count == 0 ? 0 : IconBytes(count);
}

bool DecodeFileIcon(const CVmuDirEntry& entry, const std::string& bytes, std::uint16_t frames,
                    CardIcon& icon) {
  IconDataLayout layout;
  if (ReadIconDataLayout(entry, bytes, layout)) return DecodeIconData(layout, bytes, icon);
  return DecodeIcon(bytes, frames, icon);
}

bool DecodeRowIcon(const FileTexts& row, CardIcon& icon) {
  if (row.entryBytes.size() != CVmuDirEntry::kLength) return DecodeIcon(row.headerBytes, 1, icon);
  CVmuDirEntry entry;
  entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(row.entryBytes.data()));
  return DecodeFileIcon(entry, row.headerBytes, 1, icon);
}

// Only what lies inside the file's blocks is read.
Result ReadFirstFrameRest(CVmuCard& card, FileTexts& row) {
  if (row.headerBytes.size() != kBlockSize || row.entryBytes.size() != CVmuDirEntry::kLength)
    return Result();
  CVmuDirEntry entry;
  entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(row.entryBytes.data()));
  const std::uint32_t start = HeaderBlock(entry) * kBlockSize;
  const std::uint32_t needed = FileIconBytes(entry, row.headerBytes, 1);
  if (needed <= kBlockSize || start + needed > std::uint32_t{entry.GetSize()} * kBlockSize)
    return Result();  // the header holds it all, or the file ends before it
  std::unique_ptr<CVmuRegion> region;
  if (!card.OpenFile(row.index, region)) return card.LastFailure();
  std::string rest;
  const bool read = ReadSpan(*region, start + kBlockSize, needed - kBlockSize, rest);
  const Result failure = read ? Result() : card.Failure(region->GetLastError());
  card.CloseFile(region);
  if (read) row.headerBytes += rest;
  return failure;
}

Result ReadFileIcon(CVmuCard& card, const ListedFile& file, CUserPrompts& user, CardIcon& icon) {
  CBusyScope busy(user);
  card.Invalidate();
  CVmuDirEntry entry;
  if (Result listed = ReadListedEntry(card, file, entry); !listed) return listed;
  std::unique_ptr<CVmuRegion> region;
  if (!card.OpenFile(file.index, region)) return card.LastFailure();
  const std::uint32_t start = HeaderBlock(entry) * kBlockSize;
  const std::uint32_t fileBytes = std::uint32_t{entry.GetSize()} * kBlockSize;
  std::string bytes;
  bool read = start + kBlockSize <= fileBytes && ReadSpan(*region, start, kBlockSize, bytes);
  const std::uint32_t needed = read ? FileIconBytes(entry, bytes, CardIcon::kMaxFrames) : 0;
  if (read && needed > kBlockSize && start + needed <= fileBytes) {
    read = ReadSpan(*region, start + kBlockSize, needed - kBlockSize, bytes);
  }
  const std::uint32_t failure = region->GetLastError();
  card.CloseFile(region);
  if (!read && failure != status::kNoError) return card.Failure(failure);
  if (!read || !DecodeFileIcon(entry, bytes, CardIcon::kMaxFrames, icon))
    return Result::Failure(message::kNoIcon.text);
  return Result();
}
