#include "BusyCursor.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

CBusyCursor::CBusyCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  qApp->installEventFilter(this);
}

CBusyCursor::~CBusyCursor() {
  qApp->removeEventFilter(this);
  for (std::size_t i = 0; i < waiting_.size(); ++i)
    QApplication::restoreOverrideCursor();
  QApplication::restoreOverrideCursor();
}

// Modal windows close in the order opposite to their opening, so each
// close takes back the cursor its opening pushed.
bool CBusyCursor::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Show) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->isWindow() && widget->isModal() &&
        waiting_.insert(watched).second) {
      QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
  } else if ((type == QEvent::Hide || type == QEvent::Destroy) && waiting_.erase(watched) != 0) {
    QApplication::restoreOverrideCursor();
  }
  return QObject::eventFilter(watched, event);
}
