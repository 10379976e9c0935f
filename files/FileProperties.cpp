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
  if (!card.ReadDirEntry(index, entry)) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }
  properties = DescribeFile(card, index, entry);
  return CommandResult::Done;
}
