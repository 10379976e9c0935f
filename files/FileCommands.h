#pragma once

#include <cstdint>
#include <vector>

#include "CommandResult.h"
#include "FileTexts.h"

class CVmuCard;
class CProgress;
class CUserPrompts;

// The file commands, as the file list window and the command line run them.
// Each reaches the card only through the card object and shows its failures
// through user.

// Rereads the directory of the selected page: rows gets one row per file, in
// directory order (the rows read before a failure or a cancel stay).
CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          std::vector<FileTexts>& rows);

// Reads the file of directory entry index and saves it as a DCI file.
CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, CProgress& progress,
                           CUserPrompts& user);

// Writes a DCI data file to the selected page.
CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user);

// The properties of the file of directory entry index; nothing is written.
CommandResult GetFileProperties(CVmuCard& card, std::uint16_t index, CUserPrompts& user,
                                FileTexts& properties);
