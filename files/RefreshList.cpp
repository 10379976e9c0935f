#include "FileCommands.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          std::vector<FileTexts>& rows) {
  // A failed flush is not reported: the blocks it could not store are dropped
  // with the rest of the cache, so that everything listed is read anew.
  card.Flush();
  card.Invalidate();
  rows.clear();

  std::uint16_t count = 0;
  if (!card.GetEntryCount(count)) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }

  CProgressSession session(progress, "Refreshing file list...", count);
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) {
      user.ShowMessage(StatusMessage(card.GetLastError()));
      return CommandResult::Failed;
    }
    if (entry.GetType() != CVmuDirEntry::kFree) rows.push_back(DescribeFile(card, i, entry));
    if (session.UnitDone(i)) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}
