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
