#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "LinkOptions.h"

// What korvantis-linkcheck was asked to check: the link options alone, read
// as korvantis-cli reads them. Returns false when the program should end at
// once with exitStatus (help, or a wrong command line: status 2).
bool ParseLinkCheckCommandLine(const std::vector<std::string>& arguments, LinkOptions& options,
                               int& exitStatus, std::ostream& out, std::ostream& err);
