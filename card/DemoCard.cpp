#include "DemoCard.h"

#include <cstring>
#include <vector>

#include "VmuDirEntry.h"

namespace {

struct DemoFile {
  std::uint8_t type;
  std::uint8_t copyProtect;
  const char* name;  // 12 bytes
  std::uint16_t firstBlock;
  std::uint16_t size;
  std::uint8_t stamp[8];
  const char* shortDescription;  // 16 bytes
  const char* longDescription;   // 32 bytes
  const char* application;       // 16 bytes
  std::uint16_t colour;          // its icon's colour (ARGB 4444); the icon needs two blocks
};

const DemoFile kDemoFiles[] = {
    {CVmuDirEntry::kData,
     0x00,
     "KORVANTIS.01",
     199,
     3,
     {0x20, 0x01, 0x03, 0x14, 0x09, 0x26, 0x53, 0x03},
     "Korvantis demo  ",
     "A save file on the demo card    ",
     "KORVANTIS       ",
     0xF2AF},
    {CVmuDirEntry::kData,
     0xFF,
     "RACE_GHOST01",
     196,
     6,
     {0x20, 0x00, 0x11, 0x27, 0x21, 0x45, 0x00, 0x01},
     "Ghost lap       ",
     "Best lap ghost, copy-protected  ",
     "DEMO RACER      ",
     0xFE52},
    {CVmuDirEntry::kData,
     0x00,
     "NOTES.TXT   ",
     190,
     1,
     {0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x59, 0x05},
     "Notes           ",
     "One block of notes              ",
     "KORVANTIS       ",
     0},
};

void CopyField(std::uint8_t* to, const char* text, std::size_t size) {
  std::memcpy(to, text, size);
}

// A one-frame icon: a disk of the file's colour with a dark rim and a light
// spot, on a transparent ground.
void DrawIcon(std::uint8_t* header, std::uint16_t colour) {
  header[card_format::kHeaderIconCount] = 1;
  header[card_format::kHeaderIconCount + 1] = 0;
  const std::uint16_t palette[4] = {0x0000, colour, 0xF222, 0xFFFF};
  for (int i = 0; i < 4; ++i)
    card_format::PutLe16(header + card_format::kHeaderPalette + 2 * i, palette[i]);
  std::uint8_t* frame = header + card_format::kHeaderIcons;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int dx = 2 * x - 31, dy = 2 * y - 31,
                near = (2 * x - 21) * (2 * x - 21) + (2 * y - 21) * (2 * y - 21);
      const int distance = dx * dx + dy * dy;
      const int index = distance > 30 * 30 ? 0 : distance > 26 * 26 ? 2 : near < 7 * 7 ? 3 : 1;
      std::uint8_t& pair = frame[(y * 32 + x) / 2];
      pair = static_cast<std::uint8_t>(x % 2 == 0 ? (pair & 0x0F) | index << 4
                                                  : (pair & 0xF0) | index);
    }
  }
}

}  // namespace

CPageImage MakeDemoPage() {
  const std::uint8_t stamp[8] = {0x20, 0x01, 0x03, 0x14, 0x09, 0x00, 0x00, 0x03};
  CPageImage page = CPageImage::Formatted(stamp);
  std::uint16_t slot = 0;
  for (const DemoFile& file : kDemoFiles) {
    CVmuDirEntry entry;
    std::memset(entry.GetData(), 0, CVmuDirEntry::kLength);
    entry.SetType(file.type);
    entry.SetCopyProtect(file.copyProtect);
    entry.SetFileName(file.name);
    entry.SetFirstBlock(file.firstBlock);
    entry.SetSize(file.size);
    std::memcpy(entry.GetData() + card_format::kEntryStamp, file.stamp, sizeof file.stamp);

    std::vector<std::uint8_t> blocks(std::size_t{file.size} * card_format::kBlockSize);
    for (std::size_t i = 64; i < blocks.size(); ++i) {
      blocks[i] = static_cast<std::uint8_t>(i * 7 + file.firstBlock);
    }
    using namespace card_format;
    CopyField(blocks.data() + kHeaderShortDescription, file.shortDescription,
              kShortDescriptionLength);
    CopyField(blocks.data() + kHeaderLongDescription, file.longDescription, kLongDescriptionLength);
    CopyField(blocks.data() + kHeaderApplication, file.application, kApplicationLength);
    if (file.size >= 2) DrawIcon(blocks.data(), file.colour);
    page.PlaceFile(slot++, entry, blocks.data());
  }
  return page;
}
