#include "IconMaker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "IconDataFile.h"

namespace {
constexpr int kSide = CardIcon::kSide;
constexpr std::size_t kPixels = kSide * kSide;

// The source pixels a target pixel covers along one axis, each with the
// length of it covered.
using Span = std::vector<std::pair<int, double>>;

std::vector<Span> Spans(int source, int target) {
  std::vector<Span> spans(static_cast<std::size_t>(target));
  const double scale = static_cast<double>(source) / target;
  for (int t = 0; t < target; ++t) {
    const double from = t * scale, to = (t + 1) * scale;
    for (int s = static_cast<int>(from); s < source && s < to; ++s) {
      const double covered = std::min(to, s + 1.0) - std::max(from, static_cast<double>(s));
      if (covered > 0) spans[static_cast<std::size_t>(t)].emplace_back(s, covered);
    }
  }
  return spans;
}

std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// Colours in averages are weighted by their alpha, so that the colour of a
// transparent pixel never tints its opaque neighbours.
void Average(const RgbaPicture& picture, const Span& rows, const Span& columns, std::uint8_t* out) {
  double sums[4] = {}, area = 0;
  for (const auto& [y, height] : rows) {
    for (const auto& [x, width] : columns) {
      const std::uint8_t* p =
          &picture.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                         static_cast<std::size_t>(x)) *
                        4];
      const double weight = height * width, alpha = p[3] * weight;
      for (int c = 0; c < 3; ++c)
        sums[c] += p[c] * alpha;
      sums[3] += alpha;
      area += weight;
    }
  }
  for (int c = 0; c < 3; ++c)
    out[c] = sums[3] > 0 ? ToByte(sums[c] / sums[3]) : 0;
  out[3] = area > 0 ? ToByte(sums[3] / area) : 0;
}

// The card's colours: 4 bits a channel, alpha, red, green, blue from the
// high nibble down; every fully transparent colour is one.
using Key = std::uint16_t;

int Nibble(std::uint8_t value) {
  return (value * 15 + 127) / 255;
}

Key KeyOf(const std::uint8_t* p) {
  const int alpha = Nibble(p[3]);
  if (alpha == 0) return 0;
  return static_cast<Key>(alpha << 12 | Nibble(p[0]) << 8 | Nibble(p[1]) << 4 | Nibble(p[2]));
}

int Channel(Key key, int channel) {
  return key >> (12 - 4 * channel) & 0x0F;
}

struct Counted {
  Key key;
  int count;
};
using Box = std::vector<Counted>;

// The channel along which the box's colours spread widest, and how wide.
std::pair<int, int> Widest(const Box& box) {
  std::pair<int, int> widest{0, 0};
  for (int channel = 0; channel < 4; ++channel) {
    const auto [low, high] =
        std::minmax_element(box.begin(), box.end(), [channel](const Counted& a, const Counted& b) {
          return Channel(a.key, channel) < Channel(b.key, channel);
        });
    const int range = Channel(high->key, channel) - Channel(low->key, channel);
    if (range > widest.second) widest = {channel, range};
  }
  return widest;
}

// Splits the widest box at the median of its pixels along its widest
// channel; false when every box holds one colour.
bool SplitWidest(std::vector<Box>& boxes) {
  std::size_t chosen = boxes.size();
  std::pair<int, int> best{0, 0};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const std::pair<int, int> widest = Widest(boxes[i]);
    if (widest.second > best.second) {
      best = widest;
      chosen = i;
    }
  }
  if (chosen == boxes.size()) return false;
  Box& box = boxes[chosen];
  const int channel = best.first;
  std::sort(box.begin(), box.end(), [channel](const Counted& a, const Counted& b) {
    return Channel(a.key, channel) < Channel(b.key, channel);
  });
  int total = 0;
  for (const Counted& colour : box)
    total += colour.count;
  std::size_t cut = 1;
  for (int below = box.front().count; cut + 1 < box.size() && 2 * below < total; ++cut)
    below += box[cut].count;
  Box upper(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end());
  box.resize(cut);
  boxes.push_back(std::move(upper));
  return true;
}

Key Mean(const Box& box) {
  int total = 0, sums[4] = {};
  for (const Counted& colour : box) {
    total += colour.count;
    for (int channel = 0; channel < 4; ++channel)
      sums[channel] += Channel(colour.key, channel) * colour.count;
  }
  Key key = 0;
  for (int channel = 0; channel < 4; ++channel)
    key = static_cast<Key>(key << 4 | (2 * sums[channel] + total) / (2 * total));
  return Channel(key, 0) == 0 ? Key{0} : key;
}

std::uint8_t Nearest(Key key, const std::vector<Key>& palette) {
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    int distance = 0;
    for (int channel = 0; channel < 4; ++channel) {
      const int d = Channel(key, channel) - Channel(palette[i], channel);
      distance += d * d;
    }
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return static_cast<std::uint8_t>(best);
}
}  // namespace

RgbaPicture ScaleToIcon(const RgbaPicture& picture) {
  RgbaPicture icon{kSide, kSide, std::vector<std::uint8_t>(kPixels * 4, 0)};
  if (picture.IsEmpty() || picture.rgba.size() / 4 / static_cast<std::size_t>(picture.width) <
                               static_cast<std::size_t>(picture.height))
    return icon;
  const long long longer = std::max(picture.width, picture.height);
  const auto fitted = [longer](int side) {
    return static_cast<int>(std::max(1LL, (side * 1LL * kSide + longer / 2) / longer));
  };
  const int width = fitted(picture.width), height = fitted(picture.height);
  const int left = (kSide - width) / 2, top = (kSide - height) / 2;
  const std::vector<Span> columns = Spans(picture.width, width);
  const std::vector<Span> rows = Spans(picture.height, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>((top + y) * kSide + left + x) * 4;
      Average(picture, rows[static_cast<std::size_t>(y)], columns[static_cast<std::size_t>(x)],
              &icon.rgba[at]);
    }
  }
  return icon;
}

CardIcon MakeMonoIcon(const RgbaPicture& icon, int threshold) {
  CardIcon mono;
  mono.palette[0] = kMonoLight;
  mono.palette[1] = kMonoDark;
  CardIcon::Frame frame{};
  for (std::size_t i = 0; i < kPixels && 4 * i + 3 < icon.rgba.size(); ++i) {
    const std::uint8_t* p = &icon.rgba[4 * i];
    const int brightness = (299 * p[0] + 587 * p[1] + 114 * p[2]) / 1000;
    frame[i] = p[3] >= 128 && brightness < threshold ? 1 : 0;
  }
  mono.frames.push_back(frame);
  return mono;
}

CardIcon MakeColourIcon(const RgbaPicture& icon) {
  std::array<Key, kPixels> keys{};
  std::map<Key, int> counts;
  for (std::size_t i = 0; i < kPixels && 4 * i + 3 < icon.rgba.size(); ++i)
    keys[i] = KeyOf(&icon.rgba[4 * i]);
  for (const Key key : keys)
    ++counts[key];
  std::vector<Box> boxes(1);
  for (const auto& [key, count] : counts)
    boxes.front().push_back({key, count});
  while (boxes.size() < 16 && SplitWidest(boxes)) {
  }

  std::vector<Key> palette;
  for (const Box& box : boxes)
    palette.push_back(Mean(box));
  CardIcon colour;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    for (int channel = 0; channel < 4; ++channel)
      colour.palette[i] =
          colour.palette[i] << 8 | static_cast<std::uint32_t>(Channel(palette[i], channel)) * 0x11u;
  }
  CardIcon::Frame frame{};
  std::map<Key, std::uint8_t> chosen;
  for (std::size_t i = 0; i < kPixels; ++i) {
    const auto found = chosen.find(keys[i]);
    frame[i] =
        found != chosen.end() ? found->second : (chosen[keys[i]] = Nearest(keys[i], palette));
  }
  colour.frames.push_back(frame);
  return colour;
}
