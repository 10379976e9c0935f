#include "HelpWindow.h"

#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

namespace {
constexpr char kGuide[] = "qrc:/help/guide.html";

// The guide's window while it is open; it deletes itself when closed.
QPointer<QTextBrowser> openGuide;
}  // namespace

void ShowUserGuide(QWidget* parent) {
  if (openGuide == nullptr) {
    openGuide = new QTextBrowser(parent);
    openGuide->setObjectName("userGuide");
    openGuide->setWindowFlag(Qt::Window);
    openGuide->setAttribute(Qt::WA_DeleteOnClose);
    openGuide->setWindowTitle(QStringLiteral("Korvantis Help"));
    // Outside addresses go to the browser; the guide's own pages stay here.
    openGuide->setOpenExternalLinks(true);
    openGuide->setSource(QUrl(QString::fromLatin1(kGuide)));
    openGuide->resize(640, 600);
    // Escape closes the guide, as it closes a dialog.
    new QShortcut(QKeySequence(Qt::Key_Escape), openGuide, openGuide.data(), &QWidget::close);
  }
  openGuide->show();
  openGuide->raise();
  openGuide->activateWindow();
}
