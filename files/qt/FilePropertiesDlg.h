#pragma once

#include <QDialog>

#include "FileTexts.h"

class QLabel;

// Shows what the card holds about one file. It only displays: the Copy
// Protect box cannot be changed, and OK and Cancel both just close it.
class CFilePropertiesDlg : public QDialog {
  Q_OBJECT

 public:
  CFilePropertiesDlg(const FileTexts& properties, QWidget* parent);
  ~CFilePropertiesDlg() override;

 private:
  QLabel* MakeValue(const std::string& bytes, const char* name);
};
