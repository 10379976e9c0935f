#include "FilePropertiesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "FileIconImage.h"

namespace {
constexpr int kIconSize = 32;
}  // namespace

CFilePropertiesDlg::CFilePropertiesDlg(const FileTexts& properties, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("File Properties"));
  setWindowFlag(Qt::WindowContextHelpButtonHint);

  auto* icon = new QLabel(this);
  icon->setObjectName("fileIcon");
  icon->setPixmap(RowIcon(properties).pixmap(kIconSize, kIconSize));
  auto* heading = new QHBoxLayout;
  heading->addWidget(icon);
  heading->addSpacing(12);
  heading->addWidget(MakeValue(properties.Text(FileColumn::FileName), "fileName"));
  heading->addStretch();

  auto* general = new QGroupBox(QStringLiteral("General"), this);
  auto* generalLayout = new QGridLayout(general);
  generalLayout->setHorizontalSpacing(16);
  const std::pair<QString, QLabel*> rows[] = {
      {QStringLiteral("Application:"),
       MakeValue(properties.Text(FileColumn::Application), "application")},
      {QStringLiteral("Type:"), MakeValue(properties.Text(FileColumn::Type), "type")},
      {QStringLiteral("Size:"), MakeValue(properties.Text(FileColumn::Size), "size")},
      {QStringLiteral("Date:"), MakeValue(properties.Text(FileColumn::Date), "date")},
      {QStringLiteral("Time:"), MakeValue(properties.Text(FileColumn::Time), "time")},
  };
  int row = 0;
  for (const auto& [caption, value] : rows) {
    generalLayout->addWidget(new QLabel(caption, general), row, 0);
    generalLayout->addWidget(value, row, 1);
    ++row;
  }
  generalLayout->setColumnStretch(1, 1);

  auto* attributes = new QGroupBox(QStringLiteral("Attributes"), this);
  auto* copyProtect = new QCheckBox(QStringLiteral("&Copy Protect"), attributes);
  copyProtect->setObjectName("copyProtect");
  copyProtect->setChecked(properties.copyProtect);
  copyProtect->setEnabled(false);  // shown, never changed: nothing is written to the card
  auto* attributesLayout = new QVBoxLayout(attributes);
  attributesLayout->addWidget(copyProtect);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CFilePropertiesDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CFilePropertiesDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(heading);
  layout->addSpacing(8);
  layout->addWidget(MakeValue(properties.Text(FileColumn::ShortDescription), "shortDescription"));
  layout->addWidget(MakeValue(properties.Text(FileColumn::LongDescription), "longDescription"));
  layout->addSpacing(4);
  layout->addWidget(general);
  layout->addWidget(attributes);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

CFilePropertiesDlg::~CFilePropertiesDlg() = default;

// The texts come decoded (UTF-8); the label never reads them as markup.
QLabel* CFilePropertiesDlg::MakeValue(const std::string& text, const char* name) {
  auto* label = new QLabel(QString::fromStdString(text), this);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 32);
  return label;
}
