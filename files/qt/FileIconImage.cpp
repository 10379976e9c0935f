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
  if (!DecodeIcon(row.headerBytes, 1, icon)) return FileIcon();
  return QIcon(QPixmap::fromImage(IconFrameImage(icon, 0)));
}
