#include "ProgressDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace {
// How long Create waits at most for the window system to show the dialog.
constexpr qint64 kLongestWaitForScreenMs = 1000;
}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent)
    : QDialog(parent),
      message_(new QLabel(this)),
      // Until the operation reports its first position, the range's start.
      percent_(new QLabel(QString::fromStdString(FormatPercent(lower_, upper_, lower_)), this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QStringLiteral("Data Transfer"));
  // A fixed size, and a caption with the close box only: nothing to
  // maximize or minimize.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(false);

  message_->setObjectName("message");
  message_->setMinimumWidth(300);
  percent_->setObjectName("percent");
  percent_->setAlignment(Qt::AlignCenter);
  bar_->setObjectName("bar");
  bar_->setTextVisible(false);  // the label above shows the percentage
  bar_->setRange(lower_, upper_);
  bar_->setValue(lower_);
  cancel_->setObjectName("cancel");
  // Return must not press Cancel: only a deliberate click, Space, Escape or
  // the close box asks to stop.
  cancel_->setAutoDefault(false);
  cancel_->setDefault(false);
  connect(cancel_, &QPushButton::clicked, this, &CProgressDlg::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message_);
  layout->addWidget(percent_);
  layout->addWidget(bar_);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

CProgressDlg::~CProgressDlg() {
  if (open_) DestroyWindow();
}

bool CProgressDlg::Create() {
  if (open_) return true;
  owner_ = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (owner_ != nullptr) {
    owner_->installEventFilter(this);
    if (owner_->isEnabled()) {
      owner_->setEnabled(false);
      ownerDisabled_ = true;
    }
  }
  // Disabling a window disables the windows it parents too; this one must
  // stay usable, or Cancel could never be pressed.
  setEnabled(true);
  bar_->setValue(lower_);
  position_ = lower_;
  open_ = true;
  // The window shows with its message (SetMessageText follows at once): one
  // shown before would be drawn without it, and grow.
  return true;
}

// The window's first frame is its whole self: caption, message, percentage,
// bar and Cancel, at the size the message gives it.
void CProgressDlg::ShowDrawn() {
  if (!open_ || isVisible()) return;
  layout()->activate();
  show();
  activateWindow();
  cancel_->setFocus();
  WaitUntilDrawn();
}

// The operation's first unit keeps the thread from the screen until it ends,
// which without a card is the whole timeout: the dialog must be on the screen
// and drawn, and the menu or file dialog that started the command gone,
// before it starts. Only the window system's events are handled meanwhile (showing,
// painting); the user's input waits for the first SetPos or PollCancel.
void CProgressDlg::WaitUntilDrawn() {
  constexpr auto kWindowEventsOnly = QEventLoop::ExcludeUserInputEvents;
  QElapsedTimer waited;
  waited.start();
  QCoreApplication::processEvents(kWindowEventsOnly);
  while (windowHandle() != nullptr && !windowHandle()->isExposed() &&
         waited.elapsed() < kLongestWaitForScreenMs) {
    QThread::msleep(1);
    QCoreApplication::processEvents(kWindowEventsOnly);
  }
  repaint();
  QCoreApplication::processEvents(kWindowEventsOnly);
}

void CProgressDlg::SetMessageText(const std::string& text) {
  message_->setText(QString::fromStdString(text));
  if (!open_) return;
  if (!isVisible()) return ShowDrawn();
  // The operation's next unit follows at once: the text is drawn now, at
  // the size it needs.
  const QSize before = size();
  layout()->activate();
  if (size() != before) return WaitUntilDrawn();
  repaint();
}

void CProgressDlg::SetRange(std::int32_t lower, std::int32_t upper) {
  lower_ = lower;
  upper_ = upper;
  const int previous = bar_->value();
  bar_->setRange(lower, upper);
  // A new range keeps the position where it fits, as the bar did before;
  // QProgressBar would otherwise blank itself.
  bar_->setValue(std::max(lower, std::min(previous, upper)));
}

std::int32_t CProgressDlg::SetPos(std::int32_t position) {
  ShowDrawn();
  if (open_) QCoreApplication::processEvents();
  // Beyond the range the bar shows full or empty; the percentage tells more,
  // and the operation gets back the position it gave, not the bar's.
  bar_->setValue(std::max(lower_, std::min(position, upper_)));
  ShowPercent(position);
  return std::exchange(position_, position);
}

bool CProgressDlg::PollCancel() {
  // A dialog that never opened pumps nothing: with the main window enabled,
  // its commands could start in the middle of an operation.
  if (!open_) return false;
  ShowDrawn();
  QCoreApplication::processEvents();
  const bool requested = cancelRequested_;
  cancelRequested_ = false;
  return requested;
}

bool CProgressDlg::DestroyWindow() {
  if (!open_) return false;
  const QPointer<QWidget> owner = owner_;
  const bool active = isActiveWindow();
  RestoreOwner();
  open_ = false;
  cancelRequested_ = false;
  hide();
  // Without a window manager that passes it on, the activation would stay
  // with no window, and the main window's keys would not work.
  if (active && owner != nullptr) owner->activateWindow();
  return true;
}

void CProgressDlg::reject() {
  if (open_) cancelRequested_ = true;
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
  // The close box is one more way to ask for Cancel; the window stays until
  // the operation ends.
  event->ignore();
  reject();
}

void CProgressDlg::ShowPercent(std::int32_t position) {
  const QString text = QString::fromStdString(FormatPercent(lower_, upper_, position));
  // Most positions leave the percentage as it was; rewriting it would
  // repaint it for every unit of transfer.
  if (percent_->text() != text) percent_->setText(text);
}

bool CProgressDlg::eventFilter(QObject* watched, QEvent* event) {
  // Closing the main window in the middle of an operation would pull the
  // window from under it, or quit the program while the card is busy.
  if (open_ && watched == owner_ && event->type() == QEvent::Close) {
    event->ignore();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CProgressDlg::RestoreOwner() {
  // The owner is enabled before the dialog goes, so that Qt hands it the
  // activation back.
  if (owner_ != nullptr) {
    owner_->removeEventFilter(this);
    if (ownerDisabled_) owner_->setEnabled(true);
  }
  owner_ = nullptr;
  ownerDisabled_ = false;
}
