#include "PageChecks.h"

#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"

namespace {
constexpr char kNotFormatted[] = "This page of the memory card is not formatted.";
}  // namespace

CommandResult CheckFormatted(CVmuCard& card, CUserPrompts& user) {
  CVmuRootBlock& root = *card.GetRootBlock();
  bool formatted = false;
  if (!root.IsFormatted(formatted)) {
    user.ShowMessage(StatusMessage(root.GetLastError()));
    return CommandResult::Failed;
  }
  if (!formatted) {
    user.ShowMessage(kNotFormatted);
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}
