#pragma once

#include "CommandResult.h"

class CUserPrompts;
class CVmuCard;

// Whether the selected page carries a file system the commands can read or
// write. A page that is not formatted is named as such; a root block that
// cannot be read shows the status message. Either ends the command (Failed).
CommandResult CheckFormatted(CVmuCard& card, CUserPrompts& user);
