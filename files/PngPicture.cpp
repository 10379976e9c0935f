#include "PngPicture.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "FileReader.h"
#include "Messages.h"

namespace {
Result Unreadable(const std::string& path, const std::string& reason) {
  return Result::Failure(Fill(message::kPictureUnreadable, {path, reason}));
}

// Decodes the open file; the image is freed on every way out.
Result Decode(const std::string& path, std::FILE* file, RgbaPicture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_stdio(&image, file) == 0)
    return Unreadable(path, message::kPictureNotPng.text);
  if (image.width > kLargestPictureSide || image.height > kLargestPictureSide) {
    png_image_free(&image);
    return Unreadable(path, Fill(message::kPictureTooLarge, {std::to_string(kLargestPictureSide)}));
  }
  image.format = PNG_FORMAT_RGBA;
  RgbaPicture read{static_cast<int>(image.width), static_cast<int>(image.height),
                   std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
  // No background is needed: RGBA keeps the alpha.
  if (png_image_finish_read(&image, nullptr, read.rgba.data(), 0, nullptr) == 0)
    return Unreadable(path, message::kPictureNotPng.text);
  picture = std::move(read);
  return Result();
}
}  // namespace

// Only a regular file is opened; libpng reads it as a stream.
Result ReadPngPicture(const std::string& path, RgbaPicture& picture) {
  int fd = -1;
  if (Result opened = OpenRegularFile(path, O_RDONLY, fd); !opened)
    return Result::Failure(Fill(message::kPictureUnreadable, {path, opened.Message()}),
                           opened.Code());
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    ::close(fd);
    return Unreadable(path, message::kPictureNotPng.text);
  }
  const Result decoded = Decode(path, file, picture);
  std::fclose(file);
  return decoded;
}
