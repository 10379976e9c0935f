#pragma once

#include "CommandResult.h"

class CUserPrompts;
class CVmuCard;

// Whether the selected page carries a file system the commands can read or
// write. A page that is not formatted is named as such; a root block that
// cannot be read shows the status message. Either ends the command (Failed).
CommandResult CheckFormatted(CVmuCard& card, CUserPrompts& user);

// Whether the root block places the allocation table and the directory
// where every card keeps them (card_format::PlausibleLayout): writing through
// any other layout would destroy files. A refusal shows message::kBadLayout,
// or the status message when the root cannot be read, and ends the command
// (Failed).
CommandResult CheckLayout(CVmuCard& card, CUserPrompts& user);
