#pragma once

#include <string>

namespace card_format {

// Whether the name path ends in a dot and extension (given in lower case,
// without the dot), in any case: "SONIC.VMU", "Sonic.vmu" and "sonic.vmu"
// all end in vmu. Consoles' tools and save archives name files in upper
// case, so every test of a file's kind by its name goes through here.
bool HasExtension(const std::string& path, const char* extension);

}  // namespace card_format
