#pragma once

#include <QImage>
#include <QScreen>
#include <QWidget>

// What the screen shows of a widget, from the window system's copy of its
// window: only what was painted there, not what a fresh render would give.
inline QImage OnScreen(QWidget* widget) {
  const QPoint at = widget->mapTo(widget->window(), QPoint(0, 0));
  return widget->screen()
      ->grabWindow(widget->window()->winId(), at.x(), at.y(), widget->width(), widget->height())
      .toImage();
}

// A box of one colour: nothing drawn in it.
inline bool IsPlain(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != image.pixel(0, 0)) return false;
    }
  }
  return true;
}
