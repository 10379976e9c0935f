#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "LinkSettings.h"

class CLinkSettingsStore;
class CVmuLink;
class QButtonGroup;
class QLabel;
class QLineEdit;

// The Settings dialog: the parallel port's address (LPT1, LPT2 or another
// address entered in decimal), the handshake timeout in seconds and the delay
// factor in microseconds. The fields take any characters as typed; they are
// examined only when OK is pressed.
class CSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  // The radio buttons' ids; -1 when none is checked.
  enum class PortChoice { Lpt1 = 0, Lpt2 = 1, Other = 2 };
  static constexpr std::uint32_t kLpt1Port = 888;  // 0x378
  static constexpr std::uint32_t kLpt2Port = 632;  // 0x278

  explicit CSettingsDlg(QWidget* parent = nullptr);
  ~CSettingsDlg() override;

  // What the card in use is reached through.
  enum class CardRoad { Port, Image, Adapter };

  // The whole Settings command: shows the stored settings, and after OK or
  // Cancel stores what the dialog holds and gives it to the link at once,
  // if the card is reached through one. A card image or a USB adapter in
  // use greys the fields, and the dialog says so (SetCardRoad).
  static void RunSettings(QWidget* parent, CLinkSettingsStore& store, CVmuLink* link,
                          CardRoad road = CardRoad::Port);

  // A card image has no port and no timing, and the USB adapter keeps its
  // own: off the port the fields are greyed, and a line says why.
  void SetCardRoad(CardRoad road);

  // Takes the stored settings: the port becomes LPT1, LPT2 or the Other
  // address. The fields show them when the dialog opens.
  void SetSettings(const LinkSettings& settings);
  // What the dialog holds: after OK the values entered, after Cancel the
  // values it was given.
  LinkSettings GetSettings() const;

  // Shows the message for a refused field; a message box unless replaced.
  void SetRefusalHandler(std::function<void(const QString& message)> handler);

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowValues();
  bool ReadValues();
  bool ReadField(QLineEdit* field, std::uint32_t limit, std::uint32_t& value);

  PortChoice portChoice_ = PortChoice::Lpt1;
  std::uint32_t delayFactor_ = 0;
  std::uint32_t timeout_ = 0;
  std::uint32_t otherAddress_ = 0;

  QButtonGroup* portGroup_ = nullptr;
  QLineEdit* otherField_ = nullptr;
  QLineEdit* timeoutField_ = nullptr;
  QLineEdit* delayField_ = nullptr;
  QWidget* portBox_ = nullptr;
  QWidget* timingBox_ = nullptr;
  QLabel* imageNote_ = nullptr;  // why the fields are greyed
  std::function<void(const QString&)> showRefusal_;
};
