#include "AboutDlg.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "Icons.h"
#include "ProgramInfo.h"

const char CAboutDlg::kWebPage[] = "https://korvantis.vellquist.org/";

namespace {
const QColor kLinkColour(0, 0, 192);
constexpr int kIconSize = 32;
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Korvantis"));

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);  // etched

  auto* icon = new QLabel(frame);
  icon->setObjectName("programIcon");
  icon->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  link_ = MakeText(QString::fromLatin1(kWebPage));
  link_->setObjectName("webPage");
  QFont underlined = link_->font();
  underlined.setUnderline(true);
  link_->setFont(underlined);
  QPalette palette = link_->palette();
  palette.setColor(QPalette::WindowText, kLinkColour);
  link_->setPalette(palette);
  link_->setCursor(Qt::PointingHandCursor);
  link_->setFocusPolicy(Qt::TabFocus);
  // A dotted frame marks the link when Tab has brought the focus to it.
  link_->setStyleSheet(
      QStringLiteral("QLabel { border: 1px solid transparent; }"
                     "QLabel:focus { border: 1px dotted palette(window-text); }"));
  link_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);  // clicks only on the text
  link_->installEventFilter(this);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  texts->addWidget(MakeText(QString::fromUtf8(program::kName) + QStringLiteral(" Version ") +
                            QString::fromUtf8(program::kVersionText)));
  texts->addSpacing(10);
  texts->addWidget(MakeText(QStringLiteral("Copyright \u00A9 2026 Vellquist")));
  texts->addWidget(MakeText(QStringLiteral("All rights reserved.")));
  texts->addSpacing(10);
  texts->addWidget(MakeText(
      QStringLiteral("Dreamcast and the Dreamcast logo are trademarks of Sega Corporation.")));
  texts->addSpacing(10);
  texts->addWidget(
      MakeText(QStringLiteral("This is a pre-release build and is not for distribution.")));
  texts->addSpacing(10);
  texts->addWidget(MakeText(QStringLiteral("Download the latest version from")));
  texts->addWidget(link_);

  auto* frameLayout = new QGridLayout(frame);
  frameLayout->setContentsMargins(16, 16, 24, 16);
  frameLayout->setHorizontalSpacing(16);
  frameLayout->addWidget(icon, 0, 0, Qt::AlignTop);
  frameLayout->addLayout(texts, 0, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

CAboutDlg::~CAboutDlg() = default;

QLabel* CAboutDlg::MakeText(const QString& text) {
  auto* label = new QLabel(text, this);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// The link is a plain label: a click on it, or Space while it has the focus,
// opens the page. Whether a browser opens is not reported; the box stays.
bool CAboutDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == link_) {
    if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton &&
          link_->rect().contains(mouse->position().toPoint())) {
        OpenWebPage();
        return true;
      }
    } else if (event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
      OpenWebPage();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CAboutDlg::OpenWebPage() {
  QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebPage)));
}
