#pragma once

#include <string>

// The base folder the XDG rules give for the user's files of one kind: the
// absolute path in the environment variable (XDG_CONFIG_HOME,
// XDG_DATA_HOME), else belowHome under $HOME (".config", ".local/share").
// Both programs find their settings and data through it, so they agree.
std::string XdgBaseFolder(const char* variable, const char* belowHome);
