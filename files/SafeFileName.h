#pragma once

#include <cstdint>
#include <set>
#include <string>

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
