#pragma once

#include <QDialog>

class QLabel;

// The About box: the program's name, version and notices, and the address
// of the project's web page as a link that opens in the user's browser.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static const char kWebPage[];

  explicit CAboutDlg(QWidget* parent);
  ~CAboutDlg() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* MakeText(const QString& text);
  void OpenWebPage();

  QLabel* link_ = nullptr;
};
