#include "SettingsFile.h"

#include <cctype>
#include <cstdlib>
#include <fstream>

namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool ParseUnsigned(const std::string& text, std::uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t number = 0;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFull) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

}  // namespace

std::string DefaultSettingsPath() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (configHome != nullptr && configHome[0] == '/') {
    folder = configHome;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home != nullptr ? home : "") + "/.config";
  }
  return folder + "/Vellquist/Korvantis.conf";
}

LinkSettings ReadSettingsFile(const std::string& path) {
  LinkSettings settings;
  std::ifstream in(path);
  bool inSection = false;
  for (std::string line; std::getline(in, line);) {
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      inSection = line == "[Communications]";
      continue;
    }
    const auto equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, equals));
    std::uint32_t value = 0;
    if (!ParseUnsigned(Trim(line.substr(equals + 1)), value)) continue;
    if (key == "Port") settings.port = value;
    if (key == "Timeout") settings.timeoutSeconds = value;
    if (key == "DelayFactor") settings.delayFactor = value;
  }
  return settings;
}
