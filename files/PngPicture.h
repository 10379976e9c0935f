#pragma once

#include <string>

#include "IconMaker.h"
#include "Result.h"

// The largest picture an icon is made from, a side, so that a damaged or
// hostile file cannot make the program reserve more memory than a
// photograph needs.
inline constexpr int kLargestPictureSide = 8192;

// Reads a PNG picture (any of its colour kinds) as RGBA, through libpng. A
// failure carries the message naming the file (message::kPictureUnreadable).
Result ReadPngPicture(const std::string& path, RgbaPicture& picture);
