#pragma once

#include <string>

#include "LinkSettings.h"

// The desktop program keeps its link settings with QSettings: on Linux the INI
// file ~/.config/Vellquist/Korvantis.conf (or under $XDG_CONFIG_HOME), section
// [Communications], keys Port, Timeout and DelayFactor. The command line reads
// the same file, without Qt.
std::string DefaultSettingsPath();

// Absent file, section or key: the default. A value that is not a whole number
// from 0 to 4294967295 counts as absent, as the desktop program reads it.
LinkSettings ReadSettingsFile(const std::string& path);
