#include "FileTexts.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "CardFormat.h"
#include "CardIcon.h"
#include "IconDataFile.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"
#include "VmuFileHeader.h"
#include "VmuTimestamp.h"

namespace {
std::string SizeText(std::uint16_t blocks) {
  if (blocks == 1) return "1 Block";
  char text[16];
  std::snprintf(text, sizeof text, "%u Blocks", unsigned{blocks});
  return text;
}

// Each BCD field decodes to at most 165, so the texts stay short.
std::string DateText(const CVmuTimestamp& stamp) {
  char text[32];
  std::snprintf(text, sizeof text, "%02u/%02u/%02u%02u", stamp.GetMonth(), stamp.GetDay(),
                stamp.GetCentury(), stamp.GetYear());
  return text;
}

std::string TimeText(const CVmuTimestamp& stamp) {
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", stamp.GetHour(), stamp.GetMinute(),
                stamp.GetSecond());
  return text;
}

// The descriptions, from a header block's bytes. The card's icon file has
// only its description, where a header has the short one; its other bytes
// are its icons.
void FillDescriptions(const CVmuDirEntry& entry, const std::uint8_t* bytes, FileTexts& texts) {
  CVmuFileHeader header;
  header.CopyFrom(bytes);
  texts.headerBytes.assign(reinterpret_cast<const char*>(bytes), CVmuFileHeader::kLength);
  char shortText[17], longText[33], application[17];
  header.GetShortDescription(shortText);
  header.GetLongDescription(longText);
  header.GetApplication(application);
  texts.Text(FileColumn::ShortDescription) = shortText;
  IconDataLayout layout;
  if (ReadIconDataLayout(entry, texts.headerBytes, layout)) return;
  texts.Text(FileColumn::LongDescription) = longText;
  texts.Text(FileColumn::Application) = application;
}

std::uint32_t HeaderBlock(const CVmuDirEntry& entry) {
  return entry.GetType() == CVmuDirEntry::kGame ? card_format::kGameHeaderBlock
                                                : card_format::kDataHeaderBlock;
}

// Nothing is filled in unless the whole header block was read along a sound
// chain, so a row never shows bytes of another file.
Result ReadDescriptions(CVmuCard& card, const CVmuDirEntry& entry, FileTexts& texts) {
  const std::uint32_t block = HeaderBlock(entry);
  if (block >= entry.GetSize()) return Result();
  std::unique_ptr<CVmuRegion> region;
  if (!card.OpenFile(texts.index, region)) return card.LastFailure();
  const std::uint8_t* bytes = nullptr;
  const bool read =
      region->Read(block * card_format::kBlockSize, bytes, CVmuFileHeader::kLength, false);
  const Result failure = read ? Result() : card.Failure(region->GetLastError());
  if (read) FillDescriptions(entry, bytes, texts);
  card.CloseFile(region);
  return failure;
}

// What the entry alone tells.
FileTexts DescribeEntry(std::uint16_t index, const CVmuDirEntry& entry) {
  FileTexts texts;
  texts.index = index;
  texts.entryBytes.assign(reinterpret_cast<const char*>(entry.GetData()), CVmuDirEntry::kLength);
  texts.Text(FileColumn::Type) = entry.GetType() == CVmuDirEntry::kGame ? "Game" : "Data";
  char name[CVmuDirEntry::kFileNameLength + 1];
  entry.GetFileName(name);
  texts.Text(FileColumn::FileName) = name;
  texts.Text(FileColumn::Size) = SizeText(entry.GetSize());
  texts.copyProtect = entry.GetCopyProtect() != 0;
  texts.Text(FileColumn::CopyProtected) = texts.copyProtect ? "Yes" : "No";
  CVmuTimestamp stamp;
  entry.GetTimestamp(stamp);
  texts.Text(FileColumn::Date) = DateText(stamp);
  texts.Text(FileColumn::Time) = TimeText(stamp);
  return texts;
}
}  // namespace

FileTexts DescribeFile(CVmuCard& card, std::uint16_t index, const CVmuDirEntry& entry,
                       Result* header) {
  FileTexts texts = DescribeEntry(index, entry);
  Result read = ReadDescriptions(card, entry, texts);
  if (header != nullptr) *header = std::move(read);
  return texts;
}

FileTexts DescribeWrittenFile(std::uint16_t index, const CVmuDirEntry& entry,
                              const std::vector<std::uint8_t>& blocks) {
  FileTexts texts = DescribeEntry(index, entry);
  const std::size_t start = std::size_t{HeaderBlock(entry)} * card_format::kBlockSize;
  if (start + card_format::kBlockSize > blocks.size()) return texts;
  FillDescriptions(entry, blocks.data() + start, texts);
  const std::size_t needed = FileIconBytes(entry, texts.headerBytes, 1);
  if (needed > card_format::kBlockSize && start + needed <= blocks.size()) {
    texts.headerBytes.append(
        reinterpret_cast<const char*>(blocks.data() + start + card_format::kBlockSize),
        needed - card_format::kBlockSize);
  }
  return texts;
}
