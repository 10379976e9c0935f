#include "EntryTexts.h"

#include <cstdio>
#include <memory>

#include "StatusCodes.h"
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

// Game files lie from block 0 upward with their program's first block
// before the header; data files start with it. A game of one block has none.
constexpr std::uint32_t kGameHeaderBlock = 1;

// Nothing is filled in unless the whole header block was read along a sound
// chain, so a row never shows bytes of another file.
std::uint32_t ReadDescriptions(CVmuCard& card, std::uint16_t n, const CVmuDirEntry& entry,
                               EntryTexts& texts) {
  const std::uint32_t block = entry.GetType() == CVmuDirEntry::kGame ? kGameHeaderBlock : 0;
  if (block >= entry.GetSize()) return status::kNoError;
  std::unique_ptr<CVmuRegion> region;
  if (!card.OpenFile(n, region)) return card.GetLastError();
  const std::uint8_t* bytes = nullptr;
  const bool read =
      region->Read(block * CVmuFileHeader::kLength, bytes, CVmuFileHeader::kLength, false);
  const std::uint32_t failure = read ? status::kNoError : region->GetLastError();
  card.CloseFile(region);
  if (!read) return failure;

  CVmuFileHeader header;
  header.CopyFrom(bytes);
  char shortText[17], longText[33], application[17];
  header.GetShortDescription(shortText);
  header.GetLongDescription(longText);
  header.GetApplication(application);
  texts.shortDescription = shortText;
  texts.longDescription = longText;
  texts.application = application;
  return status::kNoError;
}
}  // namespace

EntryTexts DescribeFile(CVmuCard& card, std::uint16_t n, const CVmuDirEntry& entry,
                        std::uint32_t* headerStatus) {
  EntryTexts texts;
  texts.type = entry.GetType() == CVmuDirEntry::kGame ? "Game" : "Data";
  char name[CVmuDirEntry::kFileNameLength + 1];
  entry.GetFileName(name);
  texts.fileName = name;
  texts.size = SizeText(entry.GetSize());
  texts.copyProtect = entry.GetCopyProtect() != 0;
  texts.copyProtected = texts.copyProtect ? "Yes" : "No";
  CVmuTimestamp stamp;
  entry.GetTimestamp(stamp);
  texts.date = DateText(stamp);
  texts.time = TimeText(stamp);
  const std::uint32_t read = ReadDescriptions(card, n, entry, texts);
  if (headerStatus != nullptr) *headerStatus = read;
  return texts;
}
