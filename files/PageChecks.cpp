#include "PageChecks.h"

#include "Messages.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"

CommandResult CheckFormatted(CVmuCard& card, CUserPrompts& user) {
  CVmuRootBlock& root = *card.GetRootBlock();
  bool formatted = false;
  if (!root.IsFormatted(formatted)) {
    user.ShowMessage(card.MessageFor(root.GetLastError()));
    return CommandResult::Failed;
  }
  if (!formatted) {
    user.ShowMessage(message::kNotFormatted.text);
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}

CommandResult CheckLayout(CVmuCard& card, CUserPrompts& user) {
  CVmuRootBlock& root = *card.GetRootBlock();
  std::uint16_t fatStart = 0, fatCount = 0, dirStart = 0, dirCount = 0;
  if (!root.GetFatStart(fatStart) || !root.GetFatBlockCount(fatCount) ||
      !root.GetDirectoryStart(dirStart) || !root.GetDirectoryBlockCount(dirCount)) {
    user.ShowMessage(card.MessageFor(root.GetLastError()));
    return CommandResult::Failed;
  }
  if (!card_format::PlausibleLayout(fatStart, fatCount, dirStart, dirCount)) {
    user.ShowMessage(message::kBadLayout.text);
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}
