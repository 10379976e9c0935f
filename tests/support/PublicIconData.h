#pragma once

// The card's own icon file, ICONDATA_VMS, read as public descriptions of the
// card's file system give it, apart from the program's code: 16 bytes of
// description; at 0x10 and 0x14 the little-endian 32-bit offsets of a 32 x 32
// one-bit icon (128 bytes, a set bit dark, the leftmost pixel in the high
// bit) and of a 16-colour icon (0: none): 16 colours of 16 bits, ARGB with 4
// bits each, then 512 bytes of pixels, the left one in the high nibble.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>

#include "CardConsistency.h"

struct PublicIconData {
  std::string description;
  std::uint32_t monoOffset = 0;
  std::uint32_t colourOffset = 0;
  std::array<bool, 1024> dark{};           // rows from the top
  std::array<std::uint32_t, 1024> argb{};  // 8 bits a channel; with a colour icon only
};

inline std::uint32_t PublicLe32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

inline PublicIconData ReadPublicIconData(const std::vector<std::uint8_t>& file) {
  PublicIconData icon;
  icon.description.assign(file.begin(), file.begin() + 16);
  icon.monoOffset = PublicLe32(file, 0x10);
  icon.colourOffset = PublicLe32(file, 0x14);
  for (std::size_t i = 0; i < 1024; ++i)
    icon.dark[i] = (file[icon.monoOffset + i / 8] & (0x80 >> (i % 8))) != 0;
  if (icon.colourOffset == 0) return icon;
  for (std::size_t i = 0; i < 1024; ++i) {
    const std::uint8_t pair = file[icon.colourOffset + 32 + i / 2];
    const std::size_t index = i % 2 == 0 ? pair >> 4 : pair & 0x0F;
    const unsigned colour =
        file[icon.colourOffset + 2 * index] | file[icon.colourOffset + 2 * index + 1] << 8;
    icon.argb[i] = ((colour >> 12) & 15) * 0x11000000u + ((colour >> 8) & 15) * 0x110000u +
                   ((colour >> 4) & 15) * 0x1100u + (colour & 15) * 0x11u;
  }
  return icon;
}

// The bytes of the file of that name on the page, along its chain.
inline std::vector<std::uint8_t> FileBytesOnPage(const CPageImage& page, const std::string& name) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t block : FindFile(page, name).chain)
    bytes.insert(bytes.end(), page.GetData() + block * 512, page.GetData() + (block + 1) * 512);
  return bytes;
}

// A picture file's pixels as 0xAARRGGBB, read by libpng; none when it is no PNG.
inline std::vector<std::uint32_t> PngPixels(const std::string& path, unsigned& width) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  image.format = PNG_FORMAT_ARGB;
  std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) return {};
  width = image.width;
  std::vector<std::uint32_t> pixels(bytes.size() / 4);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = std::uint32_t{bytes[4 * i]} << 24 | bytes[4 * i + 1] << 16 | bytes[4 * i + 2] << 8 |
                bytes[4 * i + 3];
  return pixels;
}
