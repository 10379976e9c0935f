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
  if (Result read = ReadListedEntry(card, file, entry); !read) return Fail(user, read);
  properties = DescribeFile(card, file.index, entry);
  return CommandResult::Done;
}
