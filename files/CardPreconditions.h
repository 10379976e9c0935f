#pragma once

#include "Result.h"

class CVmuCard;

// What the file commands ask of the selected page before they read or write
// its files.

// Whether the selected page carries a file system the commands can read or
// write: refused with message::kNotFormatted when it is not formatted, or
// with the status message when the root block cannot be read.
Result CheckFormatted(CVmuCard& card);

// Whether the root block places the allocation table and the directory
// where every card keeps them (card_format::PlausibleLayout): writing through
// any other layout would destroy files. Refused with message::kBadLayout, or
// with the status message when the root cannot be read.
Result CheckLayout(CVmuCard& card);
