#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "CareCommands.h"
#include "CommandResult.h"

class CVmuCard;
class CProgress;
class CUserPrompts;

// The page commands: whole-page transfers straight over the link, in wire
// order, and page selection. The card object only flushes and empties its
// cache around them.

// Reads the selected page in 4096-byte units and saves it as a DCM file; the
// user is offered BackupFileName of the page, today.
CommandResult BackupPage(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                         std::uint16_t page = 0);
// The name a backup of the page (0: not known) suggests, by the local day of
// when: "page2-2026-12-07.dcm", "page-2026-12-07.dcm".
std::string BackupFileName(std::uint16_t page, std::time_t when);

// Writes a page to the selected page in 128-byte units, after saving a
// safety copy of the page as it was (none when copies are off). The page
// comes from a DCM backup, or a card image converted from the card's order;
// of a file of four pages the user chooses one. A file that holds no
// formatted page is written only when the user insists (the question's
// default is No) or as confirmed; declined, if given, tells whether he did
// not. The user is told that the restore succeeded, or that it stopped
// part-way and the page is partly written, with where the safety copy is
// and how to put it back.
CommandResult RestorePage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                          CUserPrompts& user, Confirm confirm = Confirm::Ask,
                          Declined* declined = nullptr);
// The same without a safety copy.
CommandResult RestorePage(CVmuCard& card, CProgress& progress, CUserPrompts& user);

// Selects page 1 to 4.
CommandResult SetPage(CVmuCard& card, std::uint16_t page, CUserPrompts& user);
