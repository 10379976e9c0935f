#include "SettingsDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <utility>

#include "DecimalNumber.h"
#include "LinkSettingsStore.h"
#include "Messages.h"

namespace {
constexpr std::uint32_t kLargest32 = 0xFFFFFFFFu;
constexpr std::uint32_t kLargestPort = 0xFFFFu;
// The link counts its timeout in 32 bits of microseconds.
constexpr std::uint32_t kLongestTimeout = kLargest32 / 1000000u;  // 4294 seconds

QLineEdit* MakeNumberField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
  return field;
}
}  // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent)
    : QDialog(parent),
      portGroup_(new QButtonGroup(this)),
      otherField_(MakeNumberField(this, "otherAddress")),
      timeoutField_(MakeNumberField(this, "timeout")),
      delayField_(MakeNumberField(this, "delayFactor")) {
  setWindowTitle(QStringLiteral("Settings"));
  showRefusal_ = [this](const QString& message) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Korvantis"), message, QMessageBox::Ok,
                    this);
    box.exec();
  };

  auto* lpt1 = new QRadioButton(QStringLiteral("LPT&1 (Port 0x378)"), this);
  auto* lpt2 = new QRadioButton(QStringLiteral("LPT&2 (Port 0x278)"), this);
  auto* other = new QRadioButton(QStringLiteral("Other:"), this);
  lpt1->setObjectName("lpt1");
  lpt2->setObjectName("lpt2");
  other->setObjectName("other");
  portGroup_->addButton(lpt1, static_cast<int>(PortChoice::Lpt1));
  portGroup_->addButton(lpt2, static_cast<int>(PortChoice::Lpt2));
  portGroup_->addButton(other, static_cast<int>(PortChoice::Other));

  auto* portBox = new QGroupBox(QStringLiteral("Port Address"), this);
  auto* portLayout = new QGridLayout(portBox);
  portLayout->addWidget(lpt1, 0, 0, 1, 2);
  portLayout->addWidget(lpt2, 1, 0, 1, 2);
  portLayout->addWidget(other, 2, 0);
  portLayout->addWidget(otherField_, 2, 1, Qt::AlignLeft);
  portLayout->setColumnStretch(2, 1);

  auto* timingBox = new QGroupBox(QStringLiteral("Timing"), this);
  auto* timingLayout = new QGridLayout(timingBox);
  timingLayout->addWidget(new QLabel(QStringLiteral("Timeout:"), timingBox), 0, 0);
  timingLayout->addWidget(timeoutField_, 0, 1);
  timingLayout->addWidget(new QLabel(QStringLiteral("Seconds"), timingBox), 0, 2);
  timingLayout->addWidget(new QLabel(QStringLiteral("Delay Factor:"), timingBox), 1, 0);
  timingLayout->addWidget(delayField_, 1, 1);
  timingLayout->addWidget(new QLabel(QStringLiteral("Microseconds"), timingBox), 1, 2);
  timingLayout->setColumnStretch(3, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);

  auto* imageNote = new QLabel(QString::fromUtf8(message::kSettingsImageInUse.text), this);
  imageNote->setObjectName("imageInUse");
  imageNote->setWordWrap(true);
  imageNote->hide();
  portBox_ = portBox;
  timingBox_ = timingBox;
  imageNote_ = imageNote;

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(imageNote);
  layout->addWidget(portBox);
  layout->addWidget(timingBox);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setTabOrder(other, otherField_);
  setTabOrder(otherField_, timeoutField_);
  setTabOrder(timeoutField_, delayField_);
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::RunSettings(QWidget* parent, CLinkSettingsStore& store, CVmuLink* link,
                               CardRoad road) {
  CSettingsDlg dialog(parent);
  dialog.SetSettings(store.Read());
  dialog.SetCardRoad(road);
  dialog.exec();
  // Cancel stores and applies the values the dialog was given: an absent
  // value is written with its default, and a port that could not be reached
  // is tried again.
  const LinkSettings chosen = dialog.GetSettings();
  store.Write(chosen);
  if (link != nullptr) ApplyLinkSettings(chosen, *link);
}

void CSettingsDlg::SetCardRoad(CardRoad road) {
  const bool onPort = road == CardRoad::Port;
  portBox_->setEnabled(onPort);
  timingBox_->setEnabled(onPort);
  imageNote_->setText(QString::fromUtf8(road == CardRoad::Adapter
                                            ? message::kSettingsAdapterInUse.text
                                            : message::kSettingsImageInUse.text));
  imageNote_->setVisible(!onPort);
}

void CSettingsDlg::SetSettings(const LinkSettings& settings) {
  if (settings.port == kLpt2Port) {
    portChoice_ = PortChoice::Lpt2;
  } else if (settings.port == kLpt1Port) {
    portChoice_ = PortChoice::Lpt1;
  } else {
    portChoice_ = PortChoice::Other;
    otherAddress_ = settings.port;
  }
  timeout_ = settings.timeoutSeconds;
  delayFactor_ = settings.delayFactor;
}

LinkSettings CSettingsDlg::GetSettings() const {
  LinkSettings settings;
  switch (portChoice_) {
    case PortChoice::Lpt1:
      settings.port = kLpt1Port;
      break;
    case PortChoice::Lpt2:
      settings.port = kLpt2Port;
      break;
    default:
      settings.port = otherAddress_;
      break;
  }
  settings.timeoutSeconds = timeout_;
  settings.delayFactor = delayFactor_;
  return settings;
}

void CSettingsDlg::SetRefusalHandler(std::function<void(const QString&)> handler) {
  showRefusal_ = std::move(handler);
}

void CSettingsDlg::accept() {
  if (ReadValues()) QDialog::accept();
}

void CSettingsDlg::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) ShowValues();
  QDialog::showEvent(event);
}

void CSettingsDlg::ShowValues() {
  QAbstractButton* checked = portGroup_->button(static_cast<int>(portChoice_));
  if (checked != nullptr) checked->setChecked(true);
  delayField_->setText(QString::number(delayFactor_));
  timeoutField_->setText(QString::number(timeout_));
  otherField_->setText(QString::number(otherAddress_));
}

// Reads the port choice, then the delay factor, the timeout and the Other
// address, stopping at the first field that holds no acceptable number. The
// Other field is checked whichever port is chosen. Nothing is kept unless all
// are acceptable, so that Cancel after a refusal stores what was shown first.
bool CSettingsDlg::ReadValues() {
  std::uint32_t delayFactor = 0;
  std::uint32_t timeout = 0;
  std::uint32_t otherAddress = 0;
  if (!ReadField(delayField_, kLargest32, delayFactor) ||
      !ReadField(timeoutField_, kLongestTimeout, timeout) ||
      !ReadField(otherField_, kLargestPort, otherAddress)) {
    return false;
  }
  portChoice_ = static_cast<PortChoice>(portGroup_->checkedId());
  delayFactor_ = delayFactor;
  timeout_ = timeout;
  otherAddress_ = otherAddress;
  return true;
}

bool CSettingsDlg::ReadField(QLineEdit* field, std::uint32_t limit, std::uint32_t& value) {
  const DecimalParse result = ParseDecimal(field->text().toStdString(), value, limit);
  if (result == DecimalParse::Number) return true;
  const Message* refusal = &message::kEnterWholeNumber;
  if (result == DecimalParse::TooLarge) {
    refusal = limit == kLargestPort      ? &message::kEnterPortAddress
              : limit == kLongestTimeout ? &message::kEnterTimeout
                                         : &message::kEnterDelay;
  }
  showRefusal_(QString::fromUtf8(refusal->text));
  field->setFocus();
  field->selectAll();
  return false;
}
