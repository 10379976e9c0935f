#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

struct ListedFile;

// A name for a file on the computer made from a card file's name, whose bytes
// are whatever the card holds: letters, digits, '-', '_' and '.' stay, any
// other byte becomes '_', and a name that would be empty, hidden or only dots
// becomes "file". The result never names another folder.
std::string SafeFileStem(const std::string& cardName);

// The stem of one of several card files saved into one folder (a download of
// several files, a drag out of the list): SafeFileStem of its name, or
// "slot-07" after its directory slot when the name is blank (only blanks or
// zero bytes). A stem already in taken, letter case aside, since the folder
// may be on a file system that ignores case, gets "-2", "-3"... The stem
// given is added to taken (in lower case).
std::string DistinctFileStem(std::uint16_t slot, const std::string& cardName,
                             std::set<std::string>& taken);

// The stem of a file saved with others into one folder under a name of at
// most length bytes (a VMS file, whose VMI holds 8 bytes of its name): the
// card file name's letters and digits, the first length of them, or "SLOT07"
// after its directory slot when it has none. A stem already in taken, letter
// case aside, ends in "2", "3"... instead, within length: "CVSS2SYS",
// "CVSS2SY2". The stem given is added to taken (in lower case).
std::string DistinctShortStem(std::uint16_t slot, const std::string& cardName, std::size_t length,
                              std::set<std::string>& taken);

// The name a save dialog suggests for one listed file: the stem a download of
// several files would give it, with the extension ("dci"); empty when the
// listing kept no entry to name it by.
std::string SuggestedFileName(const ListedFile& file, const std::string& extension);
