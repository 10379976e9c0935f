#pragma once

#include <QDialog>

#include "FileTexts.h"

class QLabel;

// Shows what the card holds about one file. It only displays: the Copy
// Protect box cannot be changed, and OK and Cancel both just close it. The
// texts come decoded (CardText.h); the icon is the file's own when the
// header bytes hold its first frame.
class CFilePropertiesDlg : public QDialog {
  Q_OBJECT

 public:
  CFilePropertiesDlg(const FileTexts& properties, QWidget* parent);
  ~CFilePropertiesDlg() override;

 private:
  QLabel* MakeValue(const std::string& text, const char* name);
};
