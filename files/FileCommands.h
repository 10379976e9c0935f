#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CommandResult.h"
#include "FileRow.h"

class CVmuCard;
class CProgress;
class CUserPrompts;

// The file commands, as the file list window and the command line run them.
// Each reaches the card only through the card object and shows its failures
// through user.

// Rereads the directory of the selected page: one row per file, in directory
// order, each handed to onRow as soon as it is read, before the progress
// window reports the entry (so a list shows it while the rest is read).
// The rows read before a failure or a cancel stay.
using RowSink = std::function<void(const FileRow&)>;
CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          const RowSink& onRow);
// The same, collecting the rows.
CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          std::vector<FileRow>& rows);

// Reads the file of directory entry index and saves it as a DCI file where
// the user chooses.
CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, CProgress& progress,
                           CUserPrompts& user);
// The same, saved as the DCI file path without asking (a drag out of the list).
CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, const std::string& path,
                           CProgress& progress, CUserPrompts& user);

// Writes a DCI data file that the user chooses to the selected page.
CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user);
// The same with the DCI file path (a file dropped on the list).
CommandResult UploadFile(CVmuCard& card, const std::string& path, CProgress& progress,
                         CUserPrompts& user);

// The properties of the file of directory entry index; nothing is written.
CommandResult GetFileProperties(CVmuCard& card, std::uint16_t index, CUserPrompts& user,
                                FileProperties& properties);
