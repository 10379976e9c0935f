#include "ListedFile.h"

#include "FileTexts.h"
#include "Messages.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
// The entry's first block, name and size.
bool SameFile(const CVmuDirEntry& entry, const std::string& listed) {
  if (listed.size() != CVmuDirEntry::kLength || entry.GetType() == CVmuDirEntry::kFree) {
    return false;
  }
  CVmuDirEntry was;
  was.CopyFrom(reinterpret_cast<const std::uint8_t*>(listed.data()));
  return was.GetType() != CVmuDirEntry::kFree && entry.GetFirstBlock() == was.GetFirstBlock() &&
         entry.GetSize() == was.GetSize() && entry.HasSameName(was);
}
}  // namespace

ListedFile::ListedFile(std::uint16_t slot, const CVmuDirEntry& entry)
    : index(slot), entryBytes(reinterpret_cast<const char*>(entry.GetData()), entry.GetLength()) {}

ListedFile::ListedFile(const FileTexts& row) : index(row.index), entryBytes(row.entryBytes) {}

Result ReadListedEntry(CVmuCard& card, const ListedFile& file, CVmuDirEntry& entry) {
  if (!card.ReadDirEntry(file.index, entry)) return card.LastFailure();
  if (file.entryBytes.empty() || SameFile(entry, file.entryBytes)) return Result();
  return Result::Failure(message::kCardChanged.text);
}
