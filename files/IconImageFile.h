#pragma once

#include <string>

#include "CardIcon.h"
#include "Result.h"

// A file's icon as a picture file, chosen by the name's extension (any
// case): .png holds every frame side by side, 32 pixels high; .gif holds
// the animation, looping, with the card's fully transparent colours
// transparent. Anything else is refused with message::kIconFileKind; a
// failed write keeps an existing file (base/FileWriter.h).
bool IsIconImageName(const std::string& path);
Result WriteIconImage(const std::string& path, const CardIcon& icon);
