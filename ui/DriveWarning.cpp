#include "DriveWarning.h"

#include "CardChanges.h"
#include "Messages.h"
#include "UserPrompts.h"

bool MayWriteCardSeenAsDrive(int id, bool seenAsDrive, Confirm confirm, CUserPrompts& user) {
  if (!seenAsDrive || !ChangesCard(id) || confirm == Confirm::Yes) return true;
  return user.AskYesNo(message::kAskWriteCardSeenAsDrive.text, false);
}
