#include "SettingsFile.h"

#include <filesystem>
#include <sstream>

#include "DecimalNumber.h"
#include "FileReader.h"
#include "Messages.h"
#include "ProgramInfo.h"
#include "UserFolders.h"

namespace {

// Far more than any settings file holds; the rest of a larger one is not read.
constexpr std::size_t kLargestSettingsFile = std::size_t{1} << 20;

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string DefaultSettingsPath() {
  const std::string base = XdgBaseFolder("XDG_CONFIG_HOME", ".config");
  if (base.empty()) return base;  // no home folder: nothing is stored
  return base + "/" + program::kOrganization + "/" + program::kName + ".conf";
}

Result ReadSettingsFile(const std::string& path, LinkSettings& settings) {
  settings = LinkSettings();
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) return Result();  // nothing stored
  std::vector<std::uint8_t> bytes;
  const Result read = ReadRegularFile(path, bytes, kLargestSettingsFile);
  if (!read) {
    return Result::Failure(Fill(message::kSettingsFileUnreadable, {path, read.Message()}));
  }
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
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
    if (ParseDecimal(line.substr(equals + 1), value) != DecimalParse::Number) continue;
    if (key == "Port") settings.port = value;
    if (key == "Timeout") settings.timeoutSeconds = value;
    if (key == "DelayFactor") settings.delayFactor = value;
  }
  return Result();
}
