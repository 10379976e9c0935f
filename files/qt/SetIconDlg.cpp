#include "SetIconDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <QValidator>

#include "CardFormat.h"
#include "FileIconImage.h"

namespace {
constexpr int kZoom = 4;

QPixmap Enlarged(const QImage& image) {
  return QPixmap::fromImage(
      image.scaled(image.size() * kZoom, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

// Only what the card's screen can show is typed in.
class CDescriptionValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& text, int&) const override {
    return IsIconDescription(text.toStdString()) ? Acceptable : Invalid;
  }
};

QGroupBox* Framed(const QString& title, QLabel* preview, const QString& note, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(preview, 0, Qt::AlignHCenter);
  auto* caption = new QLabel(note, box);
  caption->setWordWrap(true);
  layout->addWidget(caption);
  return box;
}
}  // namespace

CSetIconDlg::CSetIconDlg(const RgbaPicture& picture, const CardIconChoice& choice, QWidget* parent)
    : QDialog(parent), icon_(ScaleToIcon(picture)) {
  setWindowTitle(QStringLiteral("Set Icon"));
  colourImage_ = IconFrameImage(MakeColourIcon(icon_), 0);

  mono_ = MakePreview("monoPreview");
  colour_ = MakePreview("colourPreview");
  colour_->setPixmap(Enlarged(colourImage_));
  auto* previews = new QHBoxLayout;
  previews->addWidget(Framed(QStringLiteral("Monochrome icon"), mono_,
                             QStringLiteral("Shown on the memory card's screen."), this));
  auto* colourBox = Framed(QStringLiteral("Colour icon"), colour_,
                           QStringLiteral("Shown by the console's file manager."), this);
  previews->addWidget(colourBox);

  threshold_ = new QSlider(Qt::Horizontal, this);
  threshold_->setObjectName("threshold");
  threshold_->setRange(0, 255);
  threshold_->setValue(choice.threshold);
  thresholdValue_ = new QLabel(this);
  thresholdValue_->setMinimumWidth(thresholdValue_->fontMetrics().horizontalAdvance("000"));
  auto* thresholdRow = new QHBoxLayout;
  thresholdRow->addWidget(threshold_);
  thresholdRow->addWidget(thresholdValue_);
  connect(threshold_, &QSlider::valueChanged, this, [this] { ShowMono(); });

  description_ = new QLineEdit(QString::fromStdString(choice.description), this);
  description_->setObjectName("description");
  description_->setMaxLength(static_cast<int>(card_format::kShortDescriptionLength));
  description_->setValidator(new CDescriptionValidator(description_));

  monoOnly_ = new QCheckBox(QStringLiteral("&Monochrome icon only"), this);
  monoOnly_->setObjectName("monoOnly");
  monoOnly_->setChecked(choice.monoOnly);
  colourBox->setEnabled(!choice.monoOnly);
  connect(monoOnly_, &QCheckBox::toggled, colourBox, &QWidget::setDisabled);

  auto* form = new QFormLayout;
  auto* thresholdLabel = new QLabel(QStringLiteral("&Threshold:"), this);
  thresholdLabel->setBuddy(threshold_);
  form->addRow(thresholdLabel, thresholdRow);
  form->addRow(QStringLiteral("&Description:"), description_);
  form->addRow(QString(), monoOnly_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSetIconDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSetIconDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(previews);
  layout->addLayout(form);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowMono();
}

CSetIconDlg::~CSetIconDlg() = default;

CardIconChoice CSetIconDlg::Choice() const {
  CardIconChoice choice;
  choice.description = description_->text().toStdString();
  choice.threshold = threshold_->value();
  choice.monoOnly = monoOnly_->isChecked();
  return choice;
}

void CSetIconDlg::ShowMono() {
  monoImage_ = IconFrameImage(MakeMonoIcon(icon_, threshold_->value()), 0);
  mono_->setPixmap(Enlarged(monoImage_));
  thresholdValue_->setText(QString::number(threshold_->value()));
}

QLabel* CSetIconDlg::MakePreview(const char* name) {
  auto* preview = new QLabel(this);
  preview->setObjectName(name);
  preview->setFixedSize(CardIcon::kSide * kZoom, CardIcon::kSide * kZoom);
  return preview;
}
