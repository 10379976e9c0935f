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
};

const DemoFile kDemoFiles[] = {
    {0x33,
     0x00,
     "KORVANTIS.01",
     199,
     3,
     {0x20, 0x01, 0x03, 0x14, 0x09, 0x26, 0x53, 0x03},
     "Korvantis demo  ",
     "A save file on the demo card    ",
     "KORVANTIS       "},
    {0x33,
     0xFF,
     "RACE_GHOST01",
     196,
     6,
     {0x20, 0x00, 0x11, 0x27, 0x21, 0x45, 0x00, 0x01},
     "Ghost lap       ",
     "Best lap ghost, copy-protected  ",
     "DEMO RACER      "},
    {0x33,
     0x00,
     "NOTES.TXT   ",
     190,
     1,
     {0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x59, 0x05},
     "Notes           ",
     "One block of notes              ",
     "KORVANTIS       "},
};

void CopyField(std::uint8_t* to, const char* text, std::size_t size) {
  std::memcpy(to, text, size);
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
    std::memcpy(entry.GetData() + 16, file.stamp, sizeof file.stamp);

    std::vector<std::uint8_t> blocks(std::size_t{file.size} * card_format::kBlockSize);
    for (std::size_t i = 64; i < blocks.size(); ++i) {
      blocks[i] = static_cast<std::uint8_t>(i * 7 + file.firstBlock);
    }
    CopyField(blocks.data(), file.shortDescription, 16);
    CopyField(blocks.data() + 16, file.longDescription, 32);
    CopyField(blocks.data() + 48, file.application, 16);
    page.PlaceFile(slot++, entry, blocks.data());
  }
  return page;
}
