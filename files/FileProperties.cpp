#include "FileCommands.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

// The entry and the file's header as the card holds them now, read with no
// progress window.
CommandResult GetFileProperties(CVmuCard& card, const ListedFile& file, CUserPrompts& user,
                                FileTexts& properties) {
  CBusyScope busy(user);
  card.Invalidate();
  CVmuDirEntry entry;
  const CommandResult read = ReadListedEntry(card, file, user, entry);
  if (read == CommandResult::Done) properties = DescribeFile(card, file.index, entry);
  return read;
}
