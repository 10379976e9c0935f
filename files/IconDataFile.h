#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CardIcon.h"

class CVmuDirEntry;

// The card's own icon file (card_format::kIconFileName), which the console's
// file manager shows as the card's picture: a description for the card's
// screen, a monochrome icon, and a colour icon if it has one, where the
// file's own offsets place them (card_format::kIconData...). A data file of
// that name is read so only when both icons lie inside its blocks; any other
// is read as a save.

// How the monochrome icon is shown: its clear pixels light, its set ones
// dark, as the card's screen shows it.
inline constexpr std::uint32_t kMonoLight = 0xFFFFFFFF;
inline constexpr std::uint32_t kMonoDark = 0xFF000000;

struct IconDataLayout {
  std::uint32_t mono = 0;    // the monochrome icon's offset in the file
  std::uint32_t colour = 0;  // the colour icon's; 0: none
};

// Whether entry is the card's icon file by its name and type, and the file's
// first bytes place its icons inside its blocks; layout gets their offsets.
bool ReadIconDataLayout(const CVmuDirEntry& entry, const std::string& bytes,
                        IconDataLayout& layout);
// The bytes from the file's start up to the end of the icon it shows: the
// colour one where it has one, else the monochrome one.
std::uint32_t IconDataBytes(const IconDataLayout& layout);
// That icon as one frame; the monochrome one in kMonoLight and kMonoDark.
// False when bytes end before it.
bool DecodeIconData(const IconDataLayout& layout, const std::string& bytes, CardIcon& icon);

// The whole blocks of such a file: the description (blank-padded, cut at 16
// bytes), the monochrome icon (palette index 0 clear, any other set), then
// the colour icon, if given, as the card keeps a header's.
std::vector<std::uint8_t> MakeIconData(const std::string& description, const CardIcon& mono,
                                       const CardIcon* colour);
