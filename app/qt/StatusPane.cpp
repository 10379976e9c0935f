#include "StatusPane.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace {
const QString kEllipsis = QStringLiteral("\u2026");

// The words of text from its start, ended with "…", that fit in room; "…"
// alone when not even the first word does.
QString WholeWordsThatFit(const QString& text, const QFontMetrics& metrics, int room) {
  for (qsizetype space = text.lastIndexOf(' '); space > 0;
       space = text.lastIndexOf(' ', space - 1)) {
    QString words = text.left(space).trimmed();
    while (!words.isEmpty() && QStringLiteral(",;:").contains(words.back()))
      words.chop(1);
    if (metrics.horizontalAdvance(words + kEllipsis) <= room) return words + kEllipsis;
  }
  return kEllipsis;
}
}  // namespace

CStatusPane::CStatusPane(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
}

void CStatusPane::SetText(const QString& text, const QString& tip) {
  text_ = text;
  tip_ = tip;
  updateGeometry();
  ShowWhatFits();
}

QSize CStatusPane::sizeHint() const {
  const QMargins margins = contentsMargins();
  return {fontMetrics().horizontalAdvance(text_) + margins.left() + margins.right() + 2 * margin(),
          QLabel::sizeHint().height()};
}

QSize CStatusPane::minimumSizeHint() const {
  return {0, QLabel::minimumSizeHint().height()};
}

void CStatusPane::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  ShowWhatFits();
}

void CStatusPane::ShowWhatFits() {
  const int room = contentsRect().width() - 2 * margin();
  const bool fits = fontMetrics().horizontalAdvance(text_) <= room;
  setText(fits ? text_ : WholeWordsThatFit(text_, fontMetrics(), room));
  setToolTip(!tip_.isEmpty() ? tip_ : fits ? QString() : text_);
}
