#include "EntryTexts.h"
#include "FileCommands.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

// The entry as the card holds it now, which may differ from the row's texts
// if the directory changed since the list was read.
CommandResult GetFileProperties(CVmuCard& card, std::uint16_t index, CUserPrompts& user,
                                FileProperties& properties) {
  CVmuDirEntry entry;
  EntryTexts texts;
  bool read = false;
  {
    CBusyScope busy(user);
    read = card.ReadDirEntry(index, entry);
    if (read) texts = DescribeFile(card, index, entry);
  }
  if (!read) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }
  properties.application = texts.application;
  properties.copyProtect = texts.copyProtect;
  properties.date = texts.date;
  properties.fileName = texts.fileName;
  properties.size = texts.size;
  properties.longDescription = texts.longDescription;
  properties.shortDescription = texts.shortDescription;
  properties.time = texts.time;
  properties.type = texts.type;
  return CommandResult::Done;
}
