#include "IconDataFile.h"

#include <algorithm>

#include "CardFormat.h"
#include "VmuDirEntry.h"

namespace {
using namespace card_format;

// Where the file made here keeps its icons: right after the fields, the
// colour icon after the monochrome one, as cards usually hold them.
constexpr std::uint32_t kMadeMono = 0x20;
constexpr std::uint32_t kMadeColour = kMadeMono + kMonoIconSize;

// An icon of size bytes at offset lies inside a file of fileBytes, past the fields.
bool Inside(std::uint32_t offset, std::uint32_t size, std::uint32_t fileBytes) {
  return offset >= kIconDataFields && offset <= fileBytes && size <= fileBytes - offset;
}

std::uint16_t Argb4444(std::uint32_t argb) {
  std::uint32_t colour = 0;
  for (unsigned channel = 0; channel < 4; ++channel)  // the high nibble of A, R, G, B
    colour = colour << 4 | ((argb >> (28 - 8 * channel)) & 0x0Fu);
  return static_cast<std::uint16_t>(colour);
}
}  // namespace

bool ReadIconDataLayout(const CVmuDirEntry& entry, const std::string& bytes,
                        IconDataLayout& layout) {
  if (entry.GetType() == CVmuDirEntry::kGame || entry.GetType() == CVmuDirEntry::kFree ||
      entry.GetNameBytes() != kIconFileName || bytes.size() < kIconDataFields)
    return false;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::uint32_t fileBytes = std::uint32_t{entry.GetSize()} * kBlockSize;
  layout.mono = GetLe32(data + kIconDataMonoOffset);
  layout.colour = GetLe32(data + kIconDataColourOffset);
  return Inside(layout.mono, kMonoIconSize, fileBytes) &&
         (layout.colour == 0 || Inside(layout.colour, kColourIconSize, fileBytes));
}

std::uint32_t IconDataBytes(const IconDataLayout& layout) {
  return layout.colour != 0 ? layout.colour + kColourIconSize : layout.mono + kMonoIconSize;
}

bool DecodeIconData(const IconDataLayout& layout, const std::string& bytes, CardIcon& icon) {
  if (bytes.size() < IconDataBytes(layout)) return false;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  icon = CardIcon();
  if (layout.colour != 0) {
    DecodePalette(data + layout.colour, icon);
    icon.frames.push_back(DecodeFrame(data + layout.colour + 32));
    return true;
  }
  icon.palette[0] = kMonoLight;
  icon.palette[1] = kMonoDark;
  CardIcon::Frame frame;
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = (data[layout.mono + i / 8] >> (7 - i % 8)) & 1u;
  icon.frames.push_back(frame);
  return true;
}

std::vector<std::uint8_t> MakeIconData(const std::string& description, const CardIcon& mono,
                                       const CardIcon* colour) {
  const std::uint32_t end = colour != nullptr ? kMadeColour + kColourIconSize : kMadeColour;
  std::vector<std::uint8_t> bytes((end + kBlockSize - 1) / kBlockSize * kBlockSize, 0);
  std::fill_n(bytes.begin(), kShortDescriptionLength, ' ');
  std::copy_n(description.begin(),
              std::min<std::size_t>(description.size(), kShortDescriptionLength),
              bytes.begin() + kIconDataDescription);
  PutLe32(&bytes[kIconDataMonoOffset], kMadeMono);
  PutLe32(&bytes[kIconDataColourOffset], colour != nullptr ? kMadeColour : 0);
  const CardIcon::Frame& bits = mono.frames.front();
  for (std::size_t i = 0; i < bits.size(); ++i) {
    if (bits[i] != 0) bytes[kMadeMono + i / 8] |= static_cast<std::uint8_t>(0x80u >> (i % 8));
  }
  if (colour == nullptr) return bytes;
  for (std::size_t i = 0; i < colour->palette.size(); ++i)
    PutLe16(&bytes[kMadeColour + 2 * i], Argb4444(colour->palette[i]));
  const CardIcon::Frame& pixels = colour->frames.front();
  for (std::size_t i = 0; i < pixels.size(); i += 2) {
    bytes[kMadeColour + 32 + i / 2] =
        static_cast<std::uint8_t>((pixels[i] & 0x0Fu) << 4 | (pixels[i + 1] & 0x0Fu));
  }
  return bytes;
}
