#pragma once

#include <cstdint>

#include "CareCommands.h"
#include "CommandResult.h"

class CVmuCard;
class CProgress;
class CUserPrompts;

// The page commands: whole-page transfers straight over the link, in wire
// order, and page selection. The card object only flushes and empties its
// cache around them.

// Reads the selected page in 4096-byte units and saves it as a DCM file.
CommandResult BackupPage(CVmuCard& card, CProgress& progress, CUserPrompts& user);

// Writes a DCM file to the selected page in 128-byte units, after saving a
// safety copy of the page as it was (none when copies.folder is empty).
CommandResult RestorePage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                          CUserPrompts& user);
// The same without a safety copy.
CommandResult RestorePage(CVmuCard& card, CProgress& progress, CUserPrompts& user);

// Selects page 1 to 4.
CommandResult SetPage(CVmuCard& card, std::uint16_t page, CUserPrompts& user);
