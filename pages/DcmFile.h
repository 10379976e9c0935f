#pragma once

#include <cstdint>
#include <string>

#include "Result.h"

// A DCM file is one card page as it crossed the wire, card_format::kPageSize
// bytes with no header; page is always a buffer of that size.

// Writes the page as the whole file at path, which keeps its old content if
// the writing fails.
Result SaveDcmFile(const std::string& path, const std::uint8_t* page);

// Reads the first page's worth of the file; a shorter file is refused, since
// writing its missing end would put bytes on the card that no backup held, and
// so is anything but a regular file (a pipe would keep the command waiting).
Result LoadDcmFile(const std::string& path, std::uint8_t* page);
