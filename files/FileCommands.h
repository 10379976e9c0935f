#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CommandResult.h"
#include "FileTexts.h"

class CVmuCard;
class CProgress;
class CUserPrompts;

// The file commands, as the file list window and the command line run them.
// Each reaches the card only through the card object and shows its failures
// through user.

// What a listing found: one row per file, in directory order, and the free
// user blocks of the page once its allocation table was read.
struct FileListing {
  std::vector<FileTexts> rows;
  std::optional<std::uint16_t> freeBlocks;
};

// Rereads the directory of the selected page. Each row is also handed to
// onRow, if given, as soon as it is read, before the progress window reports
// the entry (so a list shows it while the rest is read). The rows read before
// a failure or a cancel stay; the first link failure ends the listing with
// one message.
using RowSink = std::function<void(const FileTexts&)>;
CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          FileListing& listing, const RowSink& onRow = RowSink());

// "1 block free", "42 blocks free".
std::string FreeBlocksText(std::uint16_t blocks);

// Reads the file of directory entry index along its allocation chain and
// saves it as a DCI file where the user chooses; a file whose chain is
// damaged is refused.
CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, CProgress& progress,
                           CUserPrompts& user);
// The same, saved as the DCI file path without asking (a drag out of the list).
CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, const std::string& path,
                           CProgress& progress, CUserPrompts& user);

// Writes a DCI data file that the user chooses to the selected page, into
// its highest free blocks. A file of a name already on the page replaces that
// file only if the user agrees; no moment leaves neither version whole on the
// card.
CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user);
// The same with the DCI file path (a file dropped on the list).
CommandResult UploadFile(CVmuCard& card, const std::string& path, CProgress& progress,
                         CUserPrompts& user);

// The properties of the file of directory entry index; nothing is written.
CommandResult GetFileProperties(CVmuCard& card, std::uint16_t index, CUserPrompts& user,
                                FileTexts& properties);
