#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "CareCommands.h"
#include "DcmFile.h"
#include "Messages.h"
#include "PageImage.h"
#include "ProgramInfo.h"
#include "UserFolders.h"
#include "UserPrompts.h"

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kKept = 20;
constexpr const char* kPrefix = "korvantis-";

// Names sort by when they were made: korvantis-2026-12-07_01-40-05-page2.dcm.
std::string CopyName(std::uint16_t page, int attempt) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string name = kPrefix + std::string(stamp);
  if (attempt > 0) name += "." + std::to_string(attempt);
  if (page != 0) name += "-page" + std::to_string(page);
  return name + ".dcm";
}

// Only the copies this program names are counted and removed.
void KeepNewest(const fs::path& folder) {
  std::error_code error;
  std::vector<fs::path> copies;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) == 0 && entry.path().extension() == ".dcm")
      copies.push_back(entry.path());
  }
  std::sort(copies.begin(), copies.end());
  for (std::size_t k = 0; k + kKept < copies.size(); ++k)
    fs::remove(copies[k], error);
}
}  // namespace

std::string DefaultSafetyCopyFolder() {
  return XdgBaseFolder("XDG_DATA_HOME", ".local/share") + "/" + program::kOrganization + "/" +
         program::kName + "/safety-copies";
}

CommandResult SaveSafetyCopy(const CPageImage& page, const SafetyCopies& copies, CUserPrompts& user,
                             std::string& path) {
  path.clear();
  if (copies.folder.empty()) return CommandResult::Done;
  std::error_code error;
  fs::create_directories(copies.folder, error);
  if (error) {
    user.ShowMessage(Fill(message::kSafetyCopyFailed, {copies.folder, error.message() + "."}));
    return CommandResult::Failed;
  }
  std::vector<std::uint8_t> wire(page.GetData(), page.GetData() + card_format::kPageSize);
  card_format::ReverseGroups(wire.data(), wire.size());
  int attempt = 0;
  while (fs::exists(fs::path(copies.folder) / CopyName(copies.page, attempt), error))
    ++attempt;
  const std::string target = (fs::path(copies.folder) / CopyName(copies.page, attempt)).string();
  const Result saved = SaveDcmFile(target, wire.data());
  if (!saved) {
    user.ShowMessage(Fill(message::kSafetyCopyFailed, {copies.folder, saved.Message()}));
    return CommandResult::Failed;
  }
  KeepNewest(copies.folder);
  path = target;
  return CommandResult::Done;
}
