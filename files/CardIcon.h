#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

class CVmuCard;
class CVmuDirEntry;
class CUserPrompts;
struct FileTexts;
struct ListedFile;

// The icon a file's header carries: a palette of 16 colours (ARGB, 4 bits
// each on the card) and one to three frames of 32 x 32 pixels, 4 bits each,
// two pixels a byte with the left one in the high bits, rows from the top.
// The header block holds the palette and the first 384 bytes of the first
// frame; the rest of the frames run on in the file's following blocks.
struct CardIcon {
  static constexpr int kSide = 32;
  static constexpr std::uint16_t kMaxFrames = 3;
  using Frame = std::array<std::uint8_t, kSide * kSide>;  // palette indices, rows from the top

  std::array<std::uint32_t, 16> palette{};  // 0xAARRGGBB
  std::uint16_t speed = 0;                  // the header's animation speed
  std::vector<Frame> frames;

  std::uint32_t Argb(const Frame& frame, int x, int y) const {
    return palette[frame[static_cast<std::size_t>(y * kSide + x)]];
  }
};

// The frame count a header gives, 0 when it gives none or more than a file has.
std::uint16_t IconFrameCount(const std::string& header);
// The bytes of the file from its header's start that frames frames need.
std::uint32_t IconBytes(std::uint16_t frames);
// Decodes up to frames frames from bytes, which start at the header; false
// when the header has no valid icon or bytes hold no whole frame.
bool DecodeIcon(const std::string& bytes, std::uint16_t frames, CardIcon& icon);

// A palette as the card keeps it (16 colours of 16 bits, ARGB 4 bits each,
// little-endian) into icon.palette; and one frame's 512 bytes unpacked.
void DecodePalette(const std::uint8_t* at, CardIcon& icon);
CardIcon::Frame DecodeFrame(const std::uint8_t* at);

// Any file's icon, by its entry: a save's header icon, or the icon the
// card's own icon file shows (IconDataFile.h). FileIconBytes is how many
// bytes from the header's start up to frames frames need, 0 for no icon;
// DecodeFileIcon decodes them as DecodeIcon does.
std::uint32_t FileIconBytes(const CVmuDirEntry& entry, const std::string& header,
                            std::uint16_t frames);
bool DecodeFileIcon(const CVmuDirEntry& entry, const std::string& bytes, std::uint16_t frames,
                    CardIcon& icon);
// The first frame of the icon a listed row's bytes hold (FileTexts::headerBytes).
bool DecodeRowIcon(const FileTexts& row, CardIcon& icon);

// The bytes of the first frame that lie past the header block (128 of a
// save's icon; for the card's icon file, up to the end of the icon it
// shows), read from the file's next blocks: appended to row.headerBytes
// when the header was read and shows an icon. Done, too, when nothing needed
// reading; a failure carries the card's status code.
Result ReadFirstFrameRest(CVmuCard& card, FileTexts& row);

// The whole icon of the file, every frame, as the export needs it, read from
// the card while it still holds the file (ListedFile.h). The user sees the
// card busy meanwhile; a file without an icon is refused (message::kNoIcon).
Result ReadFileIcon(CVmuCard& card, const ListedFile& file, CUserPrompts& user, CardIcon& icon);
