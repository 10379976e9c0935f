#pragma once

#include <cstdint>
#include <string>

// A DCM file is one card page as it crossed the wire, 131,072 bytes with no
// header; page is always a buffer of that size.

// Creates or empties the file and writes the page. A file that was opened but
// could not be written in full is removed, so no truncated backup is left.
bool SaveDcmFile(const std::string& path, const std::uint8_t* page);

// Reads the first 131,072 bytes of the file; a shorter file is refused, since
// writing its missing end would put bytes on the card that no backup held.
bool LoadDcmFile(const std::string& path, std::uint8_t* page);
