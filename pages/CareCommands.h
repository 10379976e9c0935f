#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "CommandResult.h"
#include "Decisions.h"
#include "Result.h"

class CVmuCard;
class CPageImage;
class CProgress;
class CUserPrompts;
struct PageReport;

// The commands that look after a whole page: check and repair, format,
// defragment. Each reaches the card only through the card object, keeps its
// changes all-or-nothing in the cache, and saves a safety copy of the page
// before it writes anything.

// The system's clock, which safety copies are stamped with.
std::chrono::system_clock::time_point SystemNow();

// Where safety copies go; an empty folder takes none (a script keeping its own).
struct SafetyCopies {
  std::string folder;
  std::uint16_t page = 0;  // the selected page for the copy's name; 0 when not known
  // Copies are wanted, but this user has no data folder to keep them in: a
  // command that would take one is refused before it writes anything.
  bool noFolder = false;
  // What the copies' names are stamped with; tests fix it.
  std::chrono::system_clock::time_point (*now)() = &SystemNow;

  bool Off() const { return folder.empty() && !noFolder; }
};

// The copies a command takes when they are on: in folder, or refused when
// folder is empty (no data folder).
SafetyCopies WantedCopies(const std::string& folder, std::uint16_t page);

// The folder of this user's safety copies: Vellquist/Korvantis/safety-copies
// in the XDG data folder (~/.local/share unless XDG_DATA_HOME says otherwise,
// the home folder from the system when HOME is not set); empty when the user
// has no home folder at all.
std::string DefaultSafetyCopyFolder();

// Saves page (storage order) as a new DCM file in the folder, made if
// missing, and keeps the 20 newest copies there. The name holds the time to
// the millisecond and the page (korvantis-2026-12-07_01-40-05.123-page2.dcm);
// a name already taken, by another process in the same millisecond, gets the
// process id and then a counter, and no copy is ever written over. The oldest
// by time of writing are removed first, never the one just written, and only
// files named as this program names them. path is the file written; nothing
// is written when copies are off (path stays empty); with no folder the copy
// is refused, and the command that wanted it must write nothing.
Result SaveSafetyCopy(const CPageImage& page, const SafetyCopies& copies, std::string& path);

// A command's last message: what it did, then, when it saved one, where the
// safety copy is.
std::string DoneMessage(const std::string& done, const std::string& copy);

// Reads every block of the selected page through the card's cache.
CommandResult ReadWholePage(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                            CPageImage& page);

// What a check found: whether the page is sound, and whether a repair has
// anything to mend.
struct CheckVerdict {
  bool sound = false;
  bool mendable = false;
};

// Whether Repair can mend any of the report's findings without guessing.
bool RepairCanMend(const PageReport& report);
// The findings of a damaged page, a line each after a line break; then, when
// Repair can mend none of them, the line that says so and what the user can
// still do. Empty for a sound page.
std::string DamageLines(const PageReport& report);

// What a check does beyond its report.
struct CheckRequest {
  // Free the used blocks that no entry of any slot reaches, and set each size
  // that disagrees with its whole chain to the chain's length where the user
  // agrees (a question per file, No by default).
  bool repair = false;
  // With repair, what becomes of a wrong header checksum: left as it is,
  // asked about per file (No by default), or rewritten without a question
  // because the user asked for exactly that.
  enum class Checksums { Leave, Ask, Rewrite } checksums = Checksums::Leave;
};

// Reports everything wrong with the selected page, then repairs as the
// request says; no file is ever deleted and no block an entry reaches is
// ever freed. verdict tells the state at the end.
CommandResult CheckCard(CVmuCard& card, const CheckRequest& request, const SafetyCopies& copies,
                        CProgress& progress, CUserPrompts& user, CheckVerdict& verdict);

// Lays the selected page out as a new card (the layout of a new image), once
// the user agrees (No is the default) or as confirmed. Only the root block,
// the allocation table and the directory are written; the other pages are
// not touched. declined, if given, tells whether the user said No.
CommandResult FormatPage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                         CUserPrompts& user, Confirm confirm = Confirm::Ask,
                         Declined* declined = nullptr);

// Moves the data files so that each is one run from block 199 downward, with
// no free block between them and the free space in one run; a game (and a
// file reaching above block 199) stays where it is. Each user block is read
// once and written at most once, never while it holds a block of a file, and
// every file stays whole on the card after every transaction. Refused on a
// damaged page. The progress counts blocks moved.
CommandResult DefragmentPage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                             CUserPrompts& user);
