#pragma once

#include <string>

// A name for a file on the computer made from a card file's name, whose bytes
// are whatever the card holds: letters, digits, '-', '_' and '.' stay, any
// other byte becomes '_', and a name that would be empty, hidden or only dots
// becomes "file". The result never names another folder.
std::string SafeFileStem(const std::string& cardName);
