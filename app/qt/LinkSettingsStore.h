#pragma once

#include <string>

#include "LinkSettings.h"

class QSettings;

// The link settings in the program's settings store: group "Communications",
// keys "Port", "Timeout" and "DelayFactor", each a 32-bit unsigned number,
// and the card chosen on a USB adapter, "UsbAdapter" (its serial number) and
// "UsbSlot" ("A1").
// On Linux that is the INI file that korvantis-cli reads as well, so the
// values are written as plain decimal numbers.
class CLinkSettingsStore {
 public:
  explicit CLinkSettingsStore(QSettings& settings);

  // Absent or unreadable values give their defaults; nothing is written.
  LinkSettings Read() const;
  // Writes Port, then Timeout, then DelayFactor, and makes them reach the
  // file at once, so that the command-line tool sees them too.
  void Write(const LinkSettings& settings);

  // The card on a USB adapter the program starts on; false when none is
  // remembered (the parallel port). An empty serial forgets it.
  bool ReadUsbCard(std::string& serial, std::string& slot) const;
  void WriteUsbCard(const std::string& serial, const std::string& slot);

 private:
  QSettings& settings_;
};
