#pragma once

#include <QDialog>

#include "UserPrompts.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

// Where several card files are downloaded to and how they are saved, in one
// dialog: a folder field with Browse..., DCI or VMS, OK and Cancel. OK is
// enabled only while the field names a folder that exists.
class CFolderFormatDlg : public QDialog {
  Q_OBJECT

 public:
  CFolderFormatDlg(const QString& folder, CardFileFormat format, QWidget* parent = nullptr);

  QString Folder() const;
  CardFileFormat Format() const;

 private:
  void Browse();
  void UpdateOk();

  QLineEdit* folder_;
  QRadioButton* vms_;
  QPushButton* ok_ = nullptr;
};
