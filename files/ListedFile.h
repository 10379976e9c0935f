#pragma once

#include <cstdint>
#include <string>

#include "Result.h"

class CVmuCard;
class CVmuDirEntry;
struct FileTexts;

// The file a command is to act on: the directory slot a row of the list (or
// the command line) named, and the entry the listing read there. The card
// may have been swapped or changed since, so the command reads that entry
// again from the card and acts only while it still has the listed name,
// first block and size. A slot given alone means whatever file it holds now.
struct ListedFile {
  ListedFile(std::uint16_t slot) : index(slot) {}  // implicit: a slot alone
  ListedFile(std::uint16_t slot, const CVmuDirEntry& entry);
  explicit ListedFile(const FileTexts& row);

  std::uint16_t index;
  std::string entryBytes;  // the 32 bytes listed; empty for a slot alone
};

// Reads the entry at file.index into entry. The caller empties the card's
// cache first, so that the entry comes from the card in the slot now. A
// listed file whose entry is now free or has another name, first block or
// size is refused with the message asking for a Refresh; a link failure with
// its own message.
Result ReadListedEntry(CVmuCard& card, const ListedFile& file, CVmuDirEntry& entry);
