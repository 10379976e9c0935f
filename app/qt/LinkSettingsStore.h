#pragma once

#include "LinkSettings.h"

class QSettings;

// The link settings in the program's settings store: group "Communications",
// keys "Port", "Timeout" and "DelayFactor", each a 32-bit unsigned number.
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

 private:
  QSettings& settings_;
};
