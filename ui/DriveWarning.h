#pragma once

#include "Decisions.h"

class CUserPrompts;

// Whether command id may go ahead on a card the computer also sees as a USB
// drive (seenAsDrive), which the system could write while the command does:
// a command that changes the card asks first (No is the default) unless the
// decision is already Yes. Any other command, or a card no one else sees, goes
// ahead unasked. False: declined, and nothing may be written.
bool MayWriteCardSeenAsDrive(int id, bool seenAsDrive, Confirm confirm, CUserPrompts& user);
