#include "IconImageFile.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "FileExtension.h"
#include "FileWriter.h"
#include "Messages.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
constexpr int kSide = CardIcon::kSide;

Result CannotWrite(const char* reason) {
  return Result::Failure(Fill(message::kCannotWrite, {reason}));
}

// Every frame side by side, as 8-bit RGBA with straight (not premultiplied)
// alpha, the form libpng's simplified writer takes as it is.
bool EncodePng(const CardIcon& icon, Bytes& out) {
  const int width = kSide * static_cast<int>(icon.frames.size());
  Bytes pixels(static_cast<std::size_t>(width) * kSide * 4);
  std::uint8_t* pixel = pixels.data();
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < width; ++x, pixel += 4) {
      const std::uint32_t argb =
          icon.Argb(icon.frames[static_cast<std::size_t>(x / kSide)], x % kSide, y);
      pixel[0] = static_cast<std::uint8_t>(argb >> 16);
      pixel[1] = static_cast<std::uint8_t>(argb >> 8);
      pixel[2] = static_cast<std::uint8_t>(argb);
      pixel[3] = static_cast<std::uint8_t>(argb >> 24);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = kSide;
  image.format = PNG_FORMAT_RGBA;
  // Room for the largest stream these pixels can make, written in one pass.
  out.resize(PNG_IMAGE_PNG_SIZE_MAX(image));
  png_alloc_size_t size = out.size();
  const bool done =
      png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr) != 0;
  out.resize(done ? size : 0);
  png_image_free(&image);
  return done;
}

int AppendGif(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

// The palette's 16 colours, then one more for the transparent pixels; a GIF
// colour table holds a power of two.
constexpr int kTransparent = 16;
constexpr int kMapSize = 32;

bool PutFrames(GifFileType* gif, const CardIcon& icon) {
  // The card counts the animation's speed in sixtieths of a second; GIF in
  // hundredths, in 16 bits, which a slow animation's delay would overrun.
  constexpr int kLongestDelay = 0xFFFF;
  const int delay = std::clamp(icon.speed * 100 / 60, 2, kLongestDelay);
  static const GifByteType kLoop[] = {1, 0, 0};  // repeat for ever
  if (icon.frames.size() > 1 &&
      (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
       EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_ERROR ||
       EGifPutExtensionBlock(gif, 3, kLoop) == GIF_ERROR ||
       EGifPutExtensionTrailer(gif) == GIF_ERROR)) {
    return false;
  }
  for (const CardIcon::Frame& frame : icon.frames) {
    GraphicsControlBlock control{DISPOSE_BACKGROUND, false, delay, kTransparent};
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
            GIF_ERROR ||
        EGifPutImageDesc(gif, 0, 0, kSide, kSide, false, nullptr) == GIF_ERROR) {
      return false;
    }
    for (int y = 0; y < kSide; ++y) {
      GifPixelType line[kSide];
      for (int x = 0; x < kSide; ++x) {
        const std::uint8_t index = frame[static_cast<std::size_t>(y * kSide + x)];
        line[x] = (icon.palette[index] >> 24) == 0 ? kTransparent : index;
      }
      if (EGifPutLine(gif, line, kSide) == GIF_ERROR) return false;
    }
  }
  return true;
}

bool EncodeGif(const CardIcon& icon, Bytes& out) {
  GifColorType colours[kMapSize] = {};
  for (std::size_t i = 0; i < icon.palette.size(); ++i) {
    colours[i] = {static_cast<GifByteType>(icon.palette[i] >> 16),
                  static_cast<GifByteType>(icon.palette[i] >> 8),
                  static_cast<GifByteType>(icon.palette[i])};
  }
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGif, &error);
  if (gif == nullptr) return false;
  ColorMapObject* map = GifMakeMapObject(kMapSize, colours);
  EGifSetGifVersion(gif, true);
  bool done = map != nullptr &&
              EGifPutScreenDesc(gif, kSide, kSide, 8, kTransparent, map) != GIF_ERROR &&
              PutFrames(gif, icon);
  GifFreeMapObject(map);
  done = EGifCloseFile(gif, &error) != GIF_ERROR && done;
  return done;
}
}  // namespace

bool IsIconImageName(const std::string& path) {
  return card_format::HasExtension(path, "png") || card_format::HasExtension(path, "gif");
}

Result WriteIconImage(const std::string& path, const CardIcon& icon) {
  if (!IsIconImageName(path)) return Result::Failure(message::kIconFileKind.text);
  if (icon.frames.empty()) return Result::Failure(message::kNoIcon.text);
  Bytes bytes;
  const bool png = card_format::HasExtension(path, "png");
  if (!(png ? EncodePng(icon, bytes) : EncodeGif(icon, bytes))) {
    return CannotWrite(png ? message::kPngNotMade.text : message::kGifNotMade.text);
  }
  return WriteFileReplacing(path, bytes.data(), bytes.size());
}
