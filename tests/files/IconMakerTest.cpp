#include "IconMaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {
RgbaPicture Picture(int width, int height, std::uint32_t (*rgba)(int x, int y)) {
  RgbaPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int shift = 24; shift >= 0; shift -= 8)
        picture.rgba.push_back(static_cast<std::uint8_t>(rgba(x, y) >> shift));
  return picture;
}

std::uint32_t Pixel(const RgbaPicture& picture, int x, int y) {
  const std::uint8_t* p = &picture.rgba[static_cast<std::size_t>(y * picture.width + x) * 4];
  return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
}  // namespace

// A picture twice as wide as high fills the middle rows. On its right half
// every other column is transparent red: averaged by alpha, only the blue
// of its opaque neighbours shows, half transparent, never purple.
TEST(IconMaker, ScalingKeepsTheShapeAndWeighsEachColourByItsAlpha) {
  const RgbaPicture icon = ScaleToIcon(Picture(64, 32, [](int x, int) -> std::uint32_t {
    return x < 32 ? 0xFF0000FF : x % 2 == 0 ? 0xFF000000 : 0x0000FFFF;
  }));
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.height, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint32_t expected = y < 8 || y >= 24 ? 0 : x < 16 ? 0xFF0000FF : 0x0000FF80;
      EXPECT_EQ(Pixel(icon, x, y) & (expected == 0 ? 0xFFu : ~0u), expected) << x << "," << y;
    }
  }
}

// Three opaque clusters of 27 colours each and transparent pixels of any
// colour: 82 colours for 16 places. Each pixel keeps its alpha, and its
// colour stays inside its cluster, at most 2 of the card's steps off.
TEST(IconMaker, TheColourIconChoosesItsSixteenColoursWhereThePictureHasThem) {
  const RgbaPicture picture = Picture(32, 32, [](int x, int y) -> std::uint32_t {
    static const int kCentres[3][3] = {{13, 2, 2}, {2, 12, 5}, {7, 7, 13}};
    if (y >= 24)
      return (static_cast<std::uint32_t>(x) * 0x08040200u + static_cast<std::uint32_t>(y)) &
             0xFFFFFF00u;
    const int* c = kCentres[y / 8];
    const int steps[3] = {c[0] + x % 3 - 1, c[1] + y % 3 - 1, c[2] + (x + y) % 3 - 1};
    const auto step = [&steps](int k) { return static_cast<std::uint32_t>(steps[k]); };
    return step(0) * 0x11000000u + step(1) * 0x110000u + step(2) * 0x1100u + 0xFFu;
  });
  const CardIcon icon = MakeColourIcon(picture);
  ASSERT_EQ(icon.frames.size(), 1u);
  int worst = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint32_t want = Pixel(picture, x, y), got = icon.Argb(icon.frames[0], x, y);
      ASSERT_EQ(got >> 24, want & 0xFF) << x << "," << y;  // alpha
      if ((want & 0xFF) == 0) continue;
      for (int shift = 0; shift < 24; shift += 8) {
        worst = std::max(worst, std::abs(static_cast<int>((got >> shift) & 0xFF) -
                                         static_cast<int>((want >> (shift + 8)) & 0xFF)));
      }
    }
  }
  EXPECT_LE(worst, 2 * 0x11);
}
