#include "SettingsDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "LinkSettingsStore.h"
#include "NoPortRoad.h"
#include "ScratchDirectory.h"
#include "SettingsFile.h"
#include "VmuLink.h"

namespace {

using Numbers = std::vector<std::uint32_t>;
Numbers Values(const LinkSettings& settings) {
  return {settings.port, settings.timeoutSeconds, settings.delayFactor};
}

QPushButton* Button(QWidget& dialog, const QString& text) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

// The dialog as a user meets it: shown, with refusals recorded instead of a
// message box that would wait for a click.
struct ShownSettings {
  explicit ShownSettings(const LinkSettings& stored) {
    dialog.SetRefusalHandler([this](const QString& message) { refusals.push_back(message); });
    dialog.SetSettings(stored);
    dialog.show();
  }
  QLineEdit* Field(const char* name) { return dialog.findChild<QLineEdit*>(name); }
  QRadioButton* Radio(const char* name) { return dialog.findChild<QRadioButton*>(name); }
  void PressOk() { QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton); }

  CSettingsDlg dialog;
  std::vector<QString> refusals;
};

// Blanks and the largest values are the number parser's own cases.
TEST(SettingsDialog, OpensOnTheStoredPortsChoiceAndAFixedChoiceGivesItsPort) {
  EXPECT_TRUE(ShownSettings(LinkSettings{}).Radio("lpt1")->isChecked());
  ShownSettings shown(LinkSettings{956, 5, 1});
  EXPECT_TRUE(shown.Radio("other")->isChecked());
  EXPECT_EQ(shown.Field("otherAddress")->text(), "956");
  shown.Radio("lpt2")->click();
  shown.Field("otherAddress")->setText(" \t65535 ");
  shown.Field("timeout")->setText("4294");
  shown.Field("delayFactor")->setText("\t4294967295");
  shown.PressOk();
  ASSERT_EQ(shown.dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(shown.refusals.empty());
  EXPECT_EQ(Values(shown.dialog.GetSettings()), (Numbers{632, 4294, 4294967295u}));
}

// Each field is read as every other number is (the edge cases are the
// parser's own) and checked even when a fixed port is chosen; the dialog stays
// open on the refused field, and nothing entered is kept until OK succeeds.
TEST(SettingsDialog, RefusesAnythingButAnUnsignedDecimalInRangeAndStaysOnTheField) {
  const QString notANumber = "Enter a positive whole number.";
  std::vector<std::pair<const char*, QString>> refusals = {
      {"otherAddress", "70000"}, {"timeout", "4295"}, {"delayFactor", "4294967296"}};
  for (const char* name : {"delayFactor", "timeout", "otherAddress"}) {
    for (const char* text : {"0x3BC", "-1", "", "12 3", "\xD9\xA3"})  // the last: an Arabic three
      refusals.emplace_back(name, QString::fromUtf8(text));
  }
  for (const auto& [name, text] : refusals) {
    SCOPED_TRACE(std::string(name) + " holding '" + text.toStdString() + "'");
    ShownSettings shown(LinkSettings{});
    shown.Radio("lpt2")->click();
    shown.Field("delayFactor")->setText("7");
    shown.Field("timeout")->setText("9");
    shown.Field("otherAddress")->setText("956");
    shown.Field(name)->setText(text);
    Button(shown.dialog, "OK")->setFocus();
    shown.PressOk();

    ASSERT_EQ(shown.refusals.size(), 1u);
    EXPECT_EQ(shown.refusals[0], text == "70000"  ? "Enter a port address from 0 to 65535."
                                 : text == "4295" ? "Enter a timeout from 0 to 4294 seconds."
                                 : text == "4294967296"
                                     ? "Enter a whole number from 0 to 4294967295."
                                     : notANumber);
    EXPECT_TRUE(shown.dialog.isVisible());
    EXPECT_EQ(shown.dialog.focusWidget(), shown.Field(name));
    shown.dialog.reject();
    EXPECT_EQ(Values(shown.dialog.GetSettings()), (Numbers{888, 5, 1}));
  }
}

// The whole command, over a scratch settings file and a link whose chooser
// records the ports it is asked for instead of reaching a real one.
class SettingsCommand : public ::testing::Test {
 protected:
  SettingsCommand()
      : settings_(QString::fromStdString(scratch_.File("Korvantis.conf")), QSettings::IniFormat),
        store_(settings_),
        link_([this](std::uint16_t base) {
          ports_.push_back(base);
          return PortRoadChoice{std::make_unique<CNoPortRoad>(),
                                Result::Failure("No port in tests.")};
        }) {}

  // Runs the Settings command; `act` plays the user once the dialog is up.
  void Run(const std::function<void(CSettingsDlg&)>& act) {
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<CSettingsDlg*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      dialog->SetRefusalHandler(
          [](const QString& message) { ADD_FAILURE() << message.toStdString(); });
      act(*dialog);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the Settings dialog is still open";
        dialog->reject();
      }
    });
    poll.start();
    CSettingsDlg::RunSettings(nullptr, store_, &link_);
  }

  static void Press(CSettingsDlg& dialog, const QString& button) {
    QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
  }

  CScratchDirectory scratch_;
  QSettings settings_;
  CLinkSettingsStore store_;
  std::vector<std::uint16_t> ports_;
  CVmuLink link_;
};

TEST_F(SettingsCommand, OkStoresTheEnteredValuesAndGivesThemToTheLink) {
  Run([](CSettingsDlg& dialog) {
    dialog.findChild<QRadioButton*>("other")->click();
    dialog.findChild<QLineEdit*>("otherAddress")->setText("956");
    dialog.findChild<QLineEdit*>("timeout")->setText("10");
    Press(dialog, "OK");
  });
  LinkSettings stored;
  ASSERT_TRUE(ReadSettingsFile(scratch_.File("Korvantis.conf"), stored));
  EXPECT_EQ(Values(stored), (Numbers{956, 10, 1}));
  EXPECT_EQ(link_.GetPort(), 956);
  EXPECT_EQ(ports_.back(), 956);
  EXPECT_EQ(link_.GetTimeout(), 10000000u);
  EXPECT_EQ(link_.GetDelayFactor(), 1u);
}

TEST_F(SettingsCommand, CancelStoresAndAppliesTheValuesItShowed) {
  ASSERT_FALSE(settings_.contains("Communications/Port"));
  auto cancel = [](CSettingsDlg& dialog) {
    dialog.findChild<QLineEdit*>("timeout")->setText("77");
    Press(dialog, "Cancel");
  };
  Run(cancel);
  settings_.sync();
  EXPECT_EQ(settings_.value("Communications/Port").toString(), "888");
  EXPECT_EQ(settings_.value("Communications/Timeout").toString(), "5");
  EXPECT_EQ(settings_.value("Communications/DelayFactor").toString(), "1");
  EXPECT_EQ(link_.GetTimeout(), 5000000u);
  EXPECT_EQ(link_.GetDelayFactor(), 1u);
}

}  // namespace
