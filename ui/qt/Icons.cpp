#include "Icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <initializer_list>

namespace {

// One palette for every picture: the card's pale body and slate outline, its
// green-grey screen with dark dots, and two accents for its buttons.
const QColor kBodyLight(0xf7, 0xf9, 0xfc);
const QColor kBodyShade(0xd3, 0xdb, 0xe6);
const QColor kOutline(0x43, 0x52, 0x68);
const QColor kScreenFrame(0x2e, 0x38, 0x47);
const QColor kScreenLight(0xb4, 0xcc, 0xa4);
const QColor kScreenShade(0x92, 0xae, 0x84);
const QColor kScreenDots(0x27, 0x35, 0x24);
const QColor kControl(0x3a, 0x47, 0x58);
const QColor kAccentBlue(0x2f, 0x74, 0xc0);
const QColor kAccentBlueDark(0x1f, 0x4f, 0x86);
const QColor kAccentOrange(0xe8, 0x83, 0x3a);

// A square transparent pixmap with an antialiased painter whose coordinates
// run from 0 to `units` whatever the pixel size.
class CanvasPainter : public QPainter {
 public:
  CanvasPainter(QPixmap& pixmap, qreal units) : QPainter(&pixmap) {
    setRenderHint(QPainter::Antialiasing);
    scale(pixmap.width() / units, pixmap.height() / units);
  }
};

QPixmap EmptyPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A pen at least one pixel wide, so that small sizes keep their outline.
QPen OutlinePen(const QColor& color, qreal units, int size, qreal widthUnits) {
  QPen pen(color, std::max(widthUnits, units / size));
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& from, const QColor& to) {
  QLinearGradient gradient(0, top, 0, bottom);
  gradient.setColorAt(0, from);
  gradient.setColorAt(1, to);
  return gradient;
}

// The digits 1 to 4 as the card's screen shows them: 3 by 5 dots, top row
// first, most significant bit on the left.
const unsigned char kDigitDots[4][5] = {
    {0b010, 0b110, 0b010, 0b010, 0b111},
    {0b110, 0b001, 0b010, 0b100, 0b111},
    {0b110, 0b001, 0b010, 0b001, 0b110},
    {0b101, 0b101, 0b111, 0b001, 0b001},
};

void DrawDots(QPainter& painter, const unsigned char (&rows)[5], qreal left, qreal top, qreal dot) {
  for (int row = 0; row < 5; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (rows[row] & (0b100 >> column))
        painter.fillRect(QRectF(left + column * dot, top + row * dot, dot, dot), kScreenDots);
    }
  }
}

// The card at 16 pixels, drawn dot by dot: the screen, a cross for the pad
// and one dot for each button.
void PaintSmallCard(QPixmap& pixmap) {
  CanvasPainter painter(pixmap, 16);
  painter.setPen(QPen(kOutline, 1));
  painter.setBrush(Vertical(0, 16, kBodyLight, kBodyShade));
  painter.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 2.5, 2.5);
  painter.setPen(QPen(kScreenFrame, 1));
  painter.setBrush(Vertical(2, 9, kScreenLight, kScreenShade));
  painter.drawRect(QRectF(4.5, 2.5, 7, 6));

  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(QRectF(4, 12, 5, 1), kControl);
  painter.fillRect(QRectF(6, 10, 1, 5), kControl);
  painter.fillRect(QRectF(9, 12, 2, 2), kAccentOrange);
  painter.fillRect(QRectF(11, 10, 2, 2), kAccentBlue);
}

// The card on a 64-unit canvas: a rounded body, the screen in its upper half,
// the direction pad and two buttons below.
void PaintCard(QPixmap& pixmap) {
  const int size = pixmap.width();
  if (size < 32) {
    PaintSmallCard(pixmap);
    return;
  }
  CanvasPainter painter(pixmap, 64);

  const QRectF body(11, 3, 42, 58);
  painter.setPen(OutlinePen(kOutline, 64, size, 2));
  painter.setBrush(Vertical(body.top(), body.bottom(), kBodyLight, kBodyShade));
  painter.drawRoundedRect(body, 10, 10);

  const QRectF screen(17, 9, 30, 24);
  painter.setPen(OutlinePen(kScreenFrame, 64, size, 1.5));
  painter.setBrush(Vertical(screen.top(), screen.bottom(), kScreenLight, kScreenShade));
  painter.drawRoundedRect(screen, 3, 3);
  // A little face on the screen, as the card shows when it idles.
  static const unsigned char kFace[5] = {0b000, 0b101, 0b000, 0b101, 0b111};
  painter.setRenderHint(QPainter::Antialiasing, false);
  DrawDots(painter, kFace, 26, 10, 4);
  painter.setRenderHint(QPainter::Antialiasing, true);

  // Direction pad.
  painter.setPen(Qt::NoPen);
  painter.setBrush(kControl);
  // Whole pixels at 32 and above.
  const QPointF pad(23, 47);
  const qreal arm = 9;
  const qreal thick = 6;
  painter.drawRoundedRect(QRectF(pad.x() - arm, pad.y() - thick / 2, 2 * arm, thick), 1.5, 1.5);
  painter.drawRoundedRect(QRectF(pad.x() - thick / 2, pad.y() - arm, thick, 2 * arm), 1.5, 1.5);

  // The two action buttons.
  const qreal radius = 4;
  painter.setPen(OutlinePen(kOutline, 64, size, 0.75));
  painter.setBrush(kAccentOrange);
  painter.drawEllipse(QPointF(39, 50), radius, radius);
  painter.setBrush(kAccentBlue);
  painter.drawEllipse(QPointF(46, 42), radius, radius);

  if (size >= 48) {
    // Mode and sleep keys along the bottom edge.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kControl);
    painter.drawRoundedRect(QRectF(26, 56, 5, 2), 1, 1);
    painter.drawRoundedRect(QRectF(33, 56, 5, 2), 1, 1);
  }
}

// A page with a folded corner and a small card screen on it, on a 16-unit
// canvas.
void PaintFile(QPixmap& pixmap) {
  const int size = pixmap.width();
  CanvasPainter painter(pixmap, 16);

  QPainterPath page;
  page.moveTo(2.5, 0.5);
  page.lineTo(10, 0.5);
  page.lineTo(13.5, 4);
  page.lineTo(13.5, 15.5);
  page.lineTo(2.5, 15.5);
  page.closeSubpath();
  painter.setPen(OutlinePen(kOutline, 16, size, 0.5));
  painter.setBrush(Vertical(0, 16, kBodyLight, kBodyShade));
  painter.drawPath(page);

  QPainterPath fold;
  fold.moveTo(10, 0.5);
  fold.lineTo(10, 4);
  fold.lineTo(13.5, 4);
  painter.setBrush(kBodyShade);
  painter.drawPath(fold);

  painter.setPen(OutlinePen(kScreenFrame, 16, size, 0.5));
  painter.setBrush(Vertical(6, 12, kScreenLight, kScreenShade));
  painter.drawRect(QRectF(4.5, 6.5, 7, 6));
  painter.setPen(Qt::NoPen);
  painter.setBrush(kScreenDots);
  painter.drawRect(QRectF(6, 8, 4, 1));
  painter.drawRect(QRectF(6, 10, 3, 1));
}

// A circular arrow turning clockwise, on a 16-unit canvas.
void PaintRefresh(QPixmap& pixmap) {
  const int size = pixmap.width();
  CanvasPainter painter(pixmap, 16);
  const QRectF circle(3, 3, 10, 10);
  QPen pen = OutlinePen(kAccentBlue, 16, size, 2);
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  // From the top, round the right side and the bottom, up to the upper left.
  painter.drawArc(circle, 60 * 16, -290 * 16);

  QPainterPath head;
  head.moveTo(6.2, 0.6);
  head.lineTo(11.6, 3.2);
  head.lineTo(6.6, 6.6);
  head.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccentBlue);
  painter.drawPath(head);
}

// A small card whose screen shows the page number, on a 16-unit canvas.
void PaintPage(QPixmap& pixmap, int page) {
  const int size = pixmap.width();
  CanvasPainter painter(pixmap, 16);
  painter.setPen(OutlinePen(kOutline, 16, size, 1));
  painter.setBrush(Vertical(0, 16, kBodyLight, kBodyShade));
  painter.drawRoundedRect(QRectF(1.5, 0.5, 13, 15), 2.5, 2.5);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Vertical(2, 14, kScreenLight, kScreenShade));
  painter.drawRect(QRectF(3, 2, 10, 12));
  painter.setRenderHint(QPainter::Antialiasing, false);
  DrawDots(painter, kDigitDots[page - 1], 5, 3, 2);
}

// An "i" in a blue disc, on a 16-unit canvas.
void PaintAbout(QPixmap& pixmap) {
  const int size = pixmap.width();
  CanvasPainter painter(pixmap, 16);
  QRadialGradient disc(QPointF(6, 5), 10);
  disc.setColorAt(0, kAccentBlue.lighter(130));
  disc.setColorAt(1, kAccentBlue);
  painter.setPen(OutlinePen(kAccentBlueDark, 16, size, 1));
  painter.setBrush(disc);
  painter.drawEllipse(QRectF(1, 1, 14, 14));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
  painter.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 5.8), 0.6, 0.6);
}

template <typename Paint>
QIcon IconAtSizes(std::initializer_list<int> sizes, Paint paint) {
  QIcon icon;
  for (int size : sizes) {
    QPixmap pixmap = EmptyPixmap(size);
    paint(pixmap);
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QPixmap ProgramPixmap(int size) {
  QPixmap pixmap = EmptyPixmap(size);
  PaintCard(pixmap);
  return pixmap;
}

QIcon ProgramIcon() {
  return IconAtSizes({16, 32, 48, 64, 128, 256}, PaintCard);
}

QIcon FileIcon() {
  return IconAtSizes({16, 32}, PaintFile);
}

QIcon ToolbarIcon(ToolbarPicture picture) {
  switch (picture) {
    case ToolbarPicture::Refresh:
      return IconAtSizes({16, 32}, PaintRefresh);
    case ToolbarPicture::About:
      return IconAtSizes({16, 32}, PaintAbout);
    case ToolbarPicture::Page1:
    case ToolbarPicture::Page2:
    case ToolbarPicture::Page3:
    case ToolbarPicture::Page4:
      break;
  }
  const int page = static_cast<int>(picture) - static_cast<int>(ToolbarPicture::Page1) + 1;
  return IconAtSizes({16, 32}, [page](QPixmap& pixmap) { PaintPage(pixmap, page); });
}
