// The input is a file's bytes from its header on: the frame count and the
// palette, then the frames. Besides crashes, the target checks that an icon
// is decoded exactly when the header gives frames and the bytes hold the
// first, with as many frames as the header gives and the bytes hold whole,
// every colour 4 bits a channel; and that both pictures are written and say
// the icon's size: PNG 32 pixels high and 32 wide a frame, GIF 32 by 32.
// Read as the card's own icon file, the bytes show an icon only where their
// offsets place it inside the file, and a colour icon written back as such a
// file reads back the same.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "CardFormat.h"
#include "CardIcon.h"
#include "FuzzCheck.h"
#include "IconDataFile.h"
#include "IconImageFile.h"
#include "ScratchFile.h"
#include "VmuDirEntry.h"

namespace {
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Byte(const std::string& bytes, std::size_t at) {
  return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0x100;
}
CVmuDirEntry IconFileEntry(std::size_t bytes) {
  CVmuDirEntry entry;
  entry.SetType(CVmuDirEntry::kData);
  entry.SetFileName(card_format::kIconFileName);
  entry.SetSize(static_cast<std::uint16_t>(std::min<std::size_t>(bytes / 512, 200)));
  return entry;
}

void CheckIconFile(std::string file) {
  file.resize((file.size() + 511) / 512 * 512, '\0');
  IconDataLayout layout;
  CardIcon icon;
  if (!ReadIconDataLayout(IconFileEntry(file.size()), file, layout)) return;
  Require(IconDataBytes(layout) <= file.size() && DecodeIconData(layout, file, icon),
          "an icon file's icon inside it was not decoded");
  if (layout.colour == 0) return;
  const std::vector<std::uint8_t> made = MakeIconData("", icon, &icon);
  const std::string again(made.begin(), made.end());
  CardIcon back;
  Require(ReadIconDataLayout(IconFileEntry(again.size()), again, layout) &&
              DecodeIconData(layout, again, back) && back.palette == icon.palette &&
              back.frames == icon.frames,
          "an icon file written back reads back otherwise");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CScratchFile png("icon.png");
  static const std::string gif = png.Beside("icon.gif");
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckIconFile(bytes);
  const std::size_t count = IconFrameCount(bytes);
  const std::size_t whole =
      size < IconBytes(0) ? 0 : (size - IconBytes(0)) / card_format::kIconFrameSize;
  CardIcon icon;
  const bool decoded = DecodeIcon(bytes, CardIcon::kMaxFrames, icon);
  Require(decoded == (count >= 1 && whole >= 1), "an icon was decoded, or not, against its bytes");
  if (!decoded) return 0;
  Require(icon.frames.size() == std::min(count, whole), "an icon has the wrong number of frames");
  for (const std::uint32_t argb : icon.palette) {
    for (int shift = 0; shift < 32; shift += 8)
      Require((argb >> shift & 0x0F) == (argb >> (shift + 4) & 0x0F),
              "a colour has more than 4 bits");
  }

  Require(static_cast<bool>(WriteIconImage(png.Path(), icon)), "the PNG picture was not written");
  Require(static_cast<bool>(WriteIconImage(gif, icon)), "the GIF picture was not written");
  const std::string pngBytes = ReadAll(png.Path()), gifBytes = ReadAll(gif);
  const auto big32 = [&](std::size_t at) {
    return Byte(pngBytes, at) << 24 | Byte(pngBytes, at + 1) << 16 | Byte(pngBytes, at + 2) << 8 |
           Byte(pngBytes, at + 3);
  };
  Require(pngBytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 && pngBytes.compare(12, 4, "IHDR") == 0,
          "the PNG picture does not start as a PNG");
  Require(big32(16) == CardIcon::kSide * icon.frames.size() && big32(20) == CardIcon::kSide,
          "the PNG picture has the wrong size");
  Require(gifBytes.compare(0, 6, "GIF89a") == 0, "the GIF picture does not start as a GIF");
  Require((Byte(gifBytes, 6) | Byte(gifBytes, 7) << 8) == CardIcon::kSide &&
              (Byte(gifBytes, 8) | Byte(gifBytes, 9) << 8) == CardIcon::kSide,
          "the GIF picture has the wrong size");
  return 0;
}
