#include "ScreenPointer.h"

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <vector>

#ifdef KORVANTIS_TOUR_POINTER
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#endif

QPixmap WithPointer(QPixmap picture, QPoint origin) {
#ifdef KORVANTIS_TOUR_POINTER
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return picture;
  if (XFixesCursorImage* pointer = XFixesGetCursorImage(display)) {
    // XFixes hands over 32-bit ARGB pixels in longs.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pointer->width) * pointer->height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = static_cast<std::uint32_t>(pointer->pixels[i]);
    }
    const QImage image(reinterpret_cast<const uchar*>(pixels.data()), pointer->width,
                       pointer->height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture);
    painter.drawImage(QPoint(pointer->x - pointer->xhot, pointer->y - pointer->yhot) - origin,
                      image);
    XFree(pointer);
  }
  XCloseDisplay(display);
#else
  (void)origin;
#endif
  return picture;
}
