#include "FolderFormatDlg.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "Messages.h"

CFolderFormatDlg::CFolderFormatDlg(const QString& folder, CardFileFormat format, QWidget* parent)
    : QDialog(parent), folder_(new QLineEdit(folder, this)), vms_(new QRadioButton(this)) {
  setWindowTitle(QStringLiteral("Download Files"));
  auto* prompt = new QLabel(QString::fromUtf8(message::kChooseDownloadFolder.text), this);
  prompt->setWordWrap(true);
  folder_->setObjectName("folder");
  folder_->setMinimumWidth(folder_->fontMetrics().averageCharWidth() * 48);
  auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
  browse->setObjectName("browse");
  auto* dci = new QRadioButton(QStringLiteral("&DCI files"), this);
  dci->setObjectName("dci");
  vms_->setText(QStringLiteral("&VMS files, each with its VMI file"));
  vms_->setObjectName("vms");
  (format == CardFileFormat::Vms ? vms_ : dci)->setChecked(true);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok_->setObjectName("ok");
  ok_->setDefault(true);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);

  auto* layout = new QGridLayout(this);
  layout->addWidget(prompt, 0, 0, 1, 2);
  layout->addWidget(folder_, 1, 0);
  layout->addWidget(browse, 1, 1);
  layout->addWidget(dci, 2, 0, 1, 2);
  layout->addWidget(vms_, 3, 0, 1, 2);
  layout->addWidget(buttons, 4, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(browse, &QPushButton::clicked, this, &CFolderFormatDlg::Browse);
  connect(folder_, &QLineEdit::textChanged, this, &CFolderFormatDlg::UpdateOk);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  UpdateOk();
}

QString CFolderFormatDlg::Folder() const {
  return folder_->text();
}

CardFileFormat CFolderFormatDlg::Format() const {
  return vms_->isChecked() ? CardFileFormat::Vms : CardFileFormat::Dci;
}

void CFolderFormatDlg::Browse() {
  const QString chosen = QFileDialog::getExistingDirectory(this, QString(), folder_->text());
  if (!chosen.isEmpty()) folder_->setText(chosen);
}

void CFolderFormatDlg::UpdateOk() {
  ok_->setEnabled(!folder_->text().isEmpty() && QFileInfo(folder_->text()).isDir());
}
