#include "EntryTexts.h"
#include "FileCommands.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
FileRow MakeRow(std::uint16_t index, const EntryTexts& texts) {
  FileRow row;
  row.index = index;
  row.texts[FileRow::kFileName] = texts.fileName;
  row.texts[FileRow::kShortDescription] = texts.shortDescription;
  row.texts[FileRow::kLongDescription] = texts.longDescription;
  row.texts[FileRow::kApplication] = texts.application;
  row.texts[FileRow::kSize] = texts.size;
  row.texts[FileRow::kDate] = texts.date;
  row.texts[FileRow::kTime] = texts.time;
  row.texts[FileRow::kCopyProtected] = texts.copyProtected;
  row.texts[FileRow::kType] = texts.type;
  return row;
}
}  // namespace

CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          const RowSink& onRow) {
  std::uint16_t count = 0;
  {
    // The root block is read before the progress window opens.
    CBusyScope busy(user);
    // A failed flush is not reported: the blocks it could not store are
    // dropped with the rest of the cache, so that everything listed is read anew.
    card.Flush();
    card.Invalidate();
    if (!card.GetEntryCount(count)) {
      user.ShowMessage(StatusMessage(card.GetLastError()));
      return CommandResult::Failed;
    }
  }

  CProgressSession session(progress, "Refreshing file list...", count);
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) {
      user.ShowMessage(StatusMessage(card.GetLastError()));
      return CommandResult::Failed;
    }
    if (entry.GetType() != CVmuDirEntry::kFree) onRow(MakeRow(i, DescribeFile(card, i, entry)));
    if (session.UnitDone(i)) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}

CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          std::vector<FileRow>& rows) {
  rows.clear();
  return RefreshList(card, progress, user, [&rows](const FileRow& row) { rows.push_back(row); });
}
