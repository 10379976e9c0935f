#include "UserFolders.h"

#include <cstdlib>

std::string XdgBaseFolder(const char* variable, const char* belowHome) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return set;  // a relative one is to be ignored
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/" + belowHome;
}
