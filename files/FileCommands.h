#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CommandResult.h"
#include "FileTexts.h"
#include "ListedFile.h"

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
// one message. readIcons: each row's header also gets the rest of the
// icon's first frame from the file's next block (CardIcon.h), one more block
// read per file with an icon.
using RowSink = std::function<void(const FileTexts&)>;
CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          FileListing& listing, const RowSink& onRow = RowSink(),
                          bool readIcons = false);

// "1 block free", "42 blocks free".
std::string FreeBlocksText(std::uint16_t blocks);

// The row commands below act on the file a row of the list showed, and only
// while the card still holds it there (ListedFile.h): each reads the card
// anew, not what the listing left in the cache.

// Reads the file along its allocation chain and saves it where the user
// chooses: a DCI file, or a VMS file with its VMI beside when the name ends
// in .vms or .vmi (VmsFile.h); a file whose chain is damaged is refused.
CommandResult DownloadFile(CVmuCard& card, const ListedFile& file, CProgress& progress,
                           CUserPrompts& user);
// The same, saved as the DCI file path without asking (a drag out of the list).
CommandResult DownloadFile(CVmuCard& card, const ListedFile& file, const std::string& path,
                           CProgress& progress, CUserPrompts& user);

// Frees blocks 0 to lastBlock for a game by moving the data files (the front
// end asks first, or not); Done once they are free.
using MakeRoom = std::function<CommandResult(std::uint16_t lastBlock)>;

// Writes a file that the user chooses (a DCI file, or a VMS/VMI pair named by
// either file) to the selected page. A data file goes into the highest free
// blocks; a file of a name already on the page replaces that file only if the
// user agrees and the card still holds it as it was when asked, and no moment
// leaves neither version whole on the card. A game goes from block 0 upward,
// one game a page; when data files hold those blocks, makeRoom (if given) is
// asked to free them first.
CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                         const MakeRoom& makeRoom = MakeRoom());
// The same with the file path (a file dropped on the list).
CommandResult UploadFile(CVmuCard& card, const std::string& path, CProgress& progress,
                         CUserPrompts& user, const MakeRoom& makeRoom = MakeRoom());

// Deletes the files once the user agrees (No is the default; copy-protected
// files are named in the question): clears their entries, then frees their
// chains. The entries are read again after the answer, since the card may
// have been swapped while the question was open. Slots given alone that are
// free are passed over.
CommandResult DeleteFiles(CVmuCard& card, std::vector<ListedFile> files, CUserPrompts& user);

// Reads the file's icon, every frame, and saves it as a PNG or GIF file where
// the user chooses (IconImageFile.h).
CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, CUserPrompts& user);
// The same, saved as path without asking.
CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, const std::string& path,
                         CUserPrompts& user);

// The properties of the file as the card holds it; nothing is written.
CommandResult GetFileProperties(CVmuCard& card, const ListedFile& file, CUserPrompts& user,
                                FileTexts& properties);
