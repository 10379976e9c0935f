#pragma once

#include <cstdint>
#include <vector>

#include "CardIcon.h"

// A picture as the icon maker takes it, whatever it was read from: 8-bit
// RGBA with straight (not premultiplied) alpha, rows from the top.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

  bool IsEmpty() const { return width <= 0 || height <= 0; }
};

// The middle threshold, which the command line always takes.
inline constexpr int kMiddleThreshold = 128;

// The picture fitted into 32 x 32 pixels, its shape kept and the margins
// transparent, each pixel the average of the area it covers.
RgbaPicture ScaleToIcon(const RgbaPicture& picture);
// A 32 x 32 picture's monochrome icon: a pixel is dark (index 1) when it is
// mostly opaque and its brightness (0 to 255) lies below threshold.
CardIcon MakeMonoIcon(const RgbaPicture& icon, int threshold);
// A 32 x 32 picture's colour icon: 16 of the card's colours (4 bits a
// channel) chosen from the picture by median cut, each pixel the nearest of
// them. A picture of 16 colours or fewer, as the card has them, comes out
// exact.
CardIcon MakeColourIcon(const RgbaPicture& icon);
