#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CardFileSource.h"
#include "CommandResult.h"
#include "Decisions.h"
#include "FileTexts.h"
#include "IconMaker.h"
#include "ListedFile.h"

class CVmuCard;
class CVmuDirEntry;
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
// read per file with an icon (the card's icon file: as far as its icon lies).
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
// in .vms or .vmi (VmsFile.h), in any case; a file whose chain is damaged,
// or whose entry holds no blocks, is refused.
CommandResult DownloadFile(CVmuCard& card, const ListedFile& file, CProgress& progress,
                           CUserPrompts& user);
// The same, saved as the DCI file path without asking (a drag out of the list).
CommandResult DownloadFile(CVmuCard& card, const ListedFile& file, const std::string& path,
                           CProgress& progress, CUserPrompts& user);

// How an upload settles what it would otherwise ask (Decisions.h).
// A file of the same name on the page: replaced once the user agrees, or
// without asking, or never.
enum class Replace { Ask, Always, Never };
// A VMS file without its VMI: uploaded as a data file named after it once
// the user agrees, or without asking, or not at all.
enum class LoneVms { Ask, Yes, No };
// A game whose blocks data files hold: the page defragmented first once the
// user agrees, or without asking, or the game refused.
enum class Defragment { Ask, Yes, No };

// The page's defragment, which the front end hands to the upload (the page
// commands are beyond the file commands' reach); it runs on the upload's
// card, progress window and user.
using RunDefragment = std::function<CommandResult(CVmuCard&, CProgress&, CUserPrompts&)>;

// What an upload wrote, so that a list can show it without reading the card
// again: the file's row (a replace keeps its slot) and the page's free user
// blocks after it, counted in the allocation table the upload already holds.
struct UploadedFile {
  FileTexts row;
  std::optional<std::uint16_t> freeBlocks;
};
using UploadSink = std::function<void(const UploadedFile&)>;

struct UploadDecisions {
  Replace replace = Replace::Ask;
  LoneVms loneVms = LoneVms::Ask;
  Defragment defragment = Defragment::Ask;
  RunDefragment runDefragment;  // none: a game's blocks are never freed
  UploadSink onUploaded;        // told of each file once it is whole on the card; none: nobody
};

// Writes a file that the user chooses (a DCI file, or a VMS/VMI pair named by
// either file) to the selected page. A data file goes into the highest free
// blocks; a file of a name already on the page is replaced only as decided
// and, after a question, only if the card still holds it as it was when
// asked, and no moment leaves neither version whole on the card. A game goes
// from block 0 upward, one game a page, and no larger than the page's root
// allows; when data files hold those blocks, the page is defragmented first
// as decided, or the game is refused. A game replacing its old version there
// is written whole into other free blocks first, then moved to block 0 once
// the old version is freed.
// declined, if given, tells what a decision against the upload left undone.
CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                         const UploadDecisions& decisions = UploadDecisions(),
                         Declined* declined = nullptr);
// The same with the file path (a file dropped on the list).
CommandResult UploadFile(CVmuCard& card, const std::string& path, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions = UploadDecisions(),
                         Declined* declined = nullptr);
// The same with the source already decided.
CommandResult UploadFile(CVmuCard& card, const CardFileSource& source, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions = UploadDecisions(),
                         Declined* declined = nullptr);

// The same with the file already made: its entry (the first block is set
// here) and its whole blocks.
CommandResult UploadFile(CVmuCard& card, CVmuDirEntry& entry,
                         const std::vector<std::uint8_t>& blocks, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions = UploadDecisions(),
                         Declined* declined = nullptr);

// Deletes the files once the user agrees (No is the default; copy-protected
// files are named in the question), or as confirmed: clears their entries,
// then frees their chains. The entries are read again after an answer, since
// the card may have been swapped while the question was open. Slots given
// alone that are free are passed over.
CommandResult DeleteFiles(CVmuCard& card, std::vector<ListedFile> files, CUserPrompts& user,
                          Confirm confirm = Confirm::Ask, Declined* declined = nullptr);

// Reads the file's icon, every frame, and saves it as a PNG or GIF file where
// the user chooses (IconImageFile.h).
CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, CUserPrompts& user);
// The same, saved as path without asking.
CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, const std::string& path,
                         CUserPrompts& user);

// What the card's own icon is made of besides the picture (IconMaker.h).
struct CardIconChoice {
  std::string description;  // up to 16 characters of printable ASCII
  int threshold = kMiddleThreshold;
  bool monoOnly = false;  // no colour icon
};
// Whether the card's screen can show the description: at most 16
// characters, each printable ASCII.
bool IsIconDescription(const std::string& description);
// The description a picture's icon gets unless the user gives one: the
// picture's file name without folder and extension, as the card can show it.
std::string DefaultIconDescription(const std::string& picturePath);
// Makes the card's own icon file (IconDataFile.h) from the picture, scaled
// to 32 x 32: its monochrome icon and, unless monoOnly, its colour icon, and
// writes it to the selected page as an upload does, replacing the one there
// as decided. A description the card cannot show is refused first.
CommandResult SetCardIcon(CVmuCard& card, const RgbaPicture& picture, const CardIconChoice& choice,
                          CProgress& progress, CUserPrompts& user, Replace replace = Replace::Ask,
                          Declined* declined = nullptr);

// The properties of the file as the card holds it; nothing is written.
CommandResult GetFileProperties(CVmuCard& card, const ListedFile& file, CUserPrompts& user,
                                FileTexts& properties);
