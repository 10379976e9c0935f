#pragma once

#include <string>

#include "LinkSettings.h"
#include "Result.h"

// The desktop program keeps its link settings with QSettings: on Linux the INI
// file ~/.config/Vellquist/Korvantis.conf (or under $XDG_CONFIG_HOME), section
// [Communications], keys Port, Timeout and DelayFactor. The command line reads
// the same file, without Qt.
std::string DefaultSettingsPath();

// Reads the settings into settings. Absent file, section or key: the default.
// A value that is not a whole number from 0 to 4294967295 counts as absent, as
// the desktop program reads it. A name that is not a regular file (a pipe, a
// folder) or cannot be read is refused with a message, never waited on.
Result ReadSettingsFile(const std::string& path, LinkSettings& settings);
