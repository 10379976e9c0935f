#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>
#include <system_error>
#include <vector>

#include "CareCommands.h"
#include "FileWriter.h"
#include "Messages.h"
#include "PageImage.h"
#include "ProgramInfo.h"
#include "UserFolders.h"

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kKept = 20;
constexpr int kAttempts = 100;

// The local time to the millisecond: 2026-12-07_01-40-05.123.
std::string Stamp(std::chrono::system_clock::time_point when) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  const long long millis =
      (duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000 + 1000) % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[48];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03lld", millis);
  return text;
}

// korvantis-<stamp>[-<process>[-<n>]][-page<p>].dcm. Two processes in one
// millisecond differ by the process id; one process repeating it, by the count.
std::string CopyName(const std::string& stamp, std::uint16_t page, int attempt) {
  std::string name = "korvantis-" + stamp;
  if (attempt > 0) name += "-" + std::to_string(::getpid());
  if (attempt > 1) name += "-" + std::to_string(attempt);
  if (page != 0) name += "-page" + std::to_string(page);
  return name + ".dcm";
}

// The names this program gives, older forms (seconds only) included.
bool IsCopyName(const std::string& name) {
  static const std::regex pattern(
      R"(korvantis-\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(\.\d+)?(-\d+){0,2}(-page\d+)?\.dcm)");
  return std::regex_match(name, pattern);
}

// Name order with numbers taken by value, so that "-2" comes before "-10".
bool NumberedLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  while (i < a.size() && j < b.size()) {
    if (!digit(a[i]) || !digit(b[j])) {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i, ++j;
      continue;
    }
    std::size_t endA = i, endB = j;
    while (endA < a.size() && digit(a[endA]))
      ++endA;
    while (endB < b.size() && digit(b[endB]))
      ++endB;
    const std::string x = a.substr(i, endA - i), y = b.substr(j, endB - j);
    if (x.size() != y.size()) return x.size() < y.size();
    if (x != y) return x < y;
    i = endA, j = endB;
  }
  return a.size() - i < b.size() - j;
}

// Removes the oldest copies by time of writing (then name) until kKept are
// left, the one just written among them and never removed.
void KeepNewest(const fs::path& folder, const fs::path& written) {
  struct Copy {
    fs::file_time_type time;
    fs::path path;
  };
  std::error_code error;
  std::vector<Copy> copies;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!IsCopyName(name) || entry.path().filename() == written.filename()) continue;
    std::error_code failed;
    if (!fs::is_regular_file(entry.symlink_status(failed))) continue;
    const fs::file_time_type time = fs::last_write_time(entry.path(), failed);
    if (!failed) copies.push_back({time, entry.path()});
  }
  std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
    if (a.time != b.time) return a.time < b.time;
    return NumberedLess(a.path.filename().string(), b.path.filename().string());
  });
  for (std::size_t k = 0; k + kKept < copies.size() + 1; ++k)
    fs::remove(copies[k].path, error);
}
}  // namespace

std::chrono::system_clock::time_point SystemNow() {
  return std::chrono::system_clock::now();
}

SafetyCopies WantedCopies(const std::string& folder, std::uint16_t page) {
  SafetyCopies copies;
  copies.folder = folder;
  copies.page = page;
  copies.noFolder = folder.empty();
  return copies;
}

std::string DefaultSafetyCopyFolder() {
  const std::string base = XdgBaseFolder("XDG_DATA_HOME", ".local/share");
  if (base.empty()) return base;
  return base + "/" + program::kOrganization + "/" + program::kName + "/safety-copies";
}

std::string DoneMessage(const std::string& done, const std::string& copy) {
  return copy.empty() ? done : done + "\n" + Fill(message::kSafetyCopySaved, {copy});
}

Result SaveSafetyCopy(const CPageImage& page, const SafetyCopies& copies, std::string& path) {
  path.clear();
  if (copies.Off()) return Result();
  if (copies.folder.empty()) return Result::Failure(message::kSafetyCopyNoFolder.text);
  std::error_code error;
  fs::create_directories(copies.folder, error);
  if (error) {
    return Result::Failure(Fill(message::kSafetyCopyFailed, {copies.folder, error.message() + "."}),
                           static_cast<std::uint32_t>(error.value()));
  }
  std::vector<std::uint8_t> wire(page.GetData(), page.GetData() + card_format::kPageSize);
  card_format::ReverseGroups(wire.data(), wire.size());
  const std::string stamp = Stamp(copies.now());
  Result saved;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path target = fs::path(copies.folder) / CopyName(stamp, copies.page, attempt);
    // A new name only: a copy made at the same moment is never written over.
    saved = WriteNewFile(target.string(), wire.data(), wire.size());
    if (saved) {
      KeepNewest(copies.folder, target);
      path = target.string();
      return Result();
    }
    if (!NameIsTaken(target.string())) break;
  }
  return Result::Failure(Fill(message::kSafetyCopyFailed, {copies.folder, saved.Message()}),
                         saved.Code());
}
