#include "FileCommands.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

// The entry as the card holds it now, which may differ from the row's texts
// if the directory changed since the list was read.
CommandResult GetFileProperties(CVmuCard& card, std::uint16_t index, CUserPrompts& user,
                                FileTexts& properties) {
  CVmuDirEntry entry;
  bool read = false;
  {
    // The entry and the file's header are read with no progress window.
    CBusyScope busy(user);
    read = card.ReadDirEntry(index, entry);
    if (read) properties = DescribeFile(card, index, entry);
  }
  if (!read) {
    user.ShowMessage(card.MessageFor(card.GetLastError()));
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}
