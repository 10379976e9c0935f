#include "UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/')
    return "";
  return found->pw_dir;
}

std::string XdgBaseFolder(const char* variable, const char* belowHome) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return set;  // a relative one is to be ignored
  const std::string home = HomeFolder();
  return home.empty() ? home : home + "/" + belowHome;
}
