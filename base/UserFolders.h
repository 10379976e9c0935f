#pragma once

#include <string>

// The user's home folder: $HOME when it is an absolute path, else the one the
// password database gives; empty when neither names one (a service run with
// a bare environment).
std::string HomeFolder();

// The base folder the XDG rules give for the user's files of one kind: the
// absolute path in the environment variable (XDG_CONFIG_HOME,
// XDG_DATA_HOME), else belowHome under the home folder (".config",
// ".local/share"); empty when there is no home folder either. Both programs
// find their settings and data through it, so they agree.
std::string XdgBaseFolder(const char* variable, const char* belowHome);
