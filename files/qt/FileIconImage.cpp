#include "FileIconImage.h"

#include <QPixmap>

#include "Icons.h"

QImage IconFrameImage(const CardIcon& icon, std::size_t frame) {
  QImage image(CardIcon::kSide, CardIcon::kSide, QImage::Format_ARGB32);
  for (int y = 0; y < CardIcon::kSide; ++y) {
    for (int x = 0; x < CardIcon::kSide; ++x)
      image.setPixel(x, y, icon.Argb(icon.frames[frame], x, y));
  }
  return image;
}

QIcon RowIcon(const FileTexts& row) {
  CardIcon icon;
  if (!DecodeRowIcon(row, icon)) return FileIcon();
  return QIcon(QPixmap::fromImage(IconFrameImage(icon, 0)));
}

// Qt converts whatever it read to straight 8-bit RGBA, row by row, since its
// rows may be padded.
RgbaPicture PictureOf(const QImage& image) {
  const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
  RgbaPicture picture{rgba.width(), rgba.height(), {}};
  const auto rowBytes = static_cast<std::size_t>(rgba.width()) * 4;
  picture.rgba.reserve(rowBytes * static_cast<std::size_t>(rgba.height()));
  for (int y = 0; y < rgba.height(); ++y)
    picture.rgba.insert(picture.rgba.end(), rgba.constScanLine(y),
                        rgba.constScanLine(y) + rowBytes);
  return picture;
}
