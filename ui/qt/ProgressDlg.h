#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>

#include "Progress.h"

class QCloseEvent;
class QEvent;
class QLabel;
class QProgressBar;
class QPushButton;

// The modeless "Data Transfer" window of the long card operations. It keeps
// the program alive while an operation runs on the one thread: SetPos and
// PollCancel hand pending events to Qt, and nothing else does. Meanwhile the
// main window is disabled, which also silences its menu shortcuts, so no
// second command can start. Cancel, Escape and the close box only record a
// request that the operation collects at its next poll; the operation decides
// when to stop.
class CProgressDlg : public QDialog, public CProgress {
  Q_OBJECT

 public:
  // parent: a widget inside the window that is held disabled while the dialog
  // is open (the list window or the main window itself); may be null.
  explicit CProgressDlg(QWidget* parent);
  ~CProgressDlg() override;

  bool Create() override;
  void SetMessageText(const std::string& text) override;
  void SetRange(std::int32_t lower, std::int32_t upper) override;
  std::int32_t SetPos(std::int32_t position) override;
  bool PollCancel() override;
  bool DestroyWindow() override;

  // The cancel command: the Cancel button, Escape and the close box.
  void reject() override;
  // Nothing ends the dialog but the operation that opened it.
  void accept() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Keeps the owner open: a disabled window still takes its close box.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowPercent(std::int32_t position);
  void RestoreOwner();
  void ShowDrawn();  // shows the window, once, when open
  void WaitUntilDrawn();

  QLabel* message_;
  QLabel* percent_;
  QProgressBar* bar_;
  QPushButton* cancel_;

  std::int32_t lower_ = 0;
  std::int32_t upper_ = 100;
  std::int32_t position_ = 0;  // the last one given, which may lie beyond the range
  bool open_ = false;
  bool cancelRequested_ = false;
  QPointer<QWidget> owner_;
  // Whether this dialog disabled the owner; an owner that was already
  // disabled is not ours to enable again.
  bool ownerDisabled_ = false;
};
