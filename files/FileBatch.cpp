#include "FileBatch.h"

#include <algorithm>
#include <functional>
#include <set>

#include "FileCommands.h"
#include "FileReader.h"
#include "FileWriter.h"
#include "Messages.h"
#include "Progress.h"
#include "SafeFileName.h"
#include "UserPrompts.h"
#include "VmsFile.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
// Each file takes an equal share of the window's range.
constexpr std::int32_t kShare = 1000;

// One window for all the files: the commands' own Create and DestroyWindow
// keep it open, and their ranges map onto their file's share.
class CBatchProgress : public CProgress {
 public:
  CBatchProgress(CProgress& window, std::size_t files)
      : window_(window), files_(static_cast<std::int32_t>(files)) {}
  ~CBatchProgress() override { CloseWindow(); }

  void StartFile(std::size_t k) { file_ = static_cast<std::int32_t>(k); }
  void CloseWindow() {
    if (open_) window_.DestroyWindow();
    open_ = false;
  }

  bool Create() override {
    if (open_) return true;
    open_ = window_.Create();
    if (open_) window_.SetRange(0, files_ * kShare);
    return open_;
  }
  void SetMessageText(const std::string& text) override { window_.SetMessageText(text); }
  void SetRange(std::int32_t lower, std::int32_t upper) override {
    lower_ = lower;
    upper_ = std::max(upper, lower + 1);
  }
  std::int32_t SetPos(std::int32_t position) override {
    const std::int64_t within = std::int64_t{position - lower_} * kShare / (upper_ - lower_);
    return window_.SetPos(file_ * kShare + static_cast<std::int32_t>(within));
  }
  bool PollCancel() override { return window_.PollCancel(); }
  bool DestroyWindow() override { return true; }

 private:
  CProgress& window_;
  std::int32_t files_;
  std::int32_t file_ = 0;
  std::int32_t lower_ = 0, upper_ = 1;
  bool open_ = false;
};

// The user as the commands see him: the window closes before anything is
// asked or shown, and opens again with the next file's transfer.
class CBatchUser : public CUserPrompts {
 public:
  CBatchUser(CUserPrompts& user, CBatchProgress& progress) : user_(user), progress_(progress) {}

  void ShowMessage(const std::string& text) override {
    progress_.CloseWindow();
    user_.ShowMessage(text);
  }
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override {
    progress_.CloseWindow();
    return user_.ChooseFileToOpen(kind, path);
  }
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override {
    progress_.CloseWindow();
    return user_.ChooseFileToSave(kind, path);
  }
  bool AskYesNo(const std::string& question, bool defaultYes) override {
    progress_.CloseWindow();
    return user_.AskYesNo(question, defaultYes);
  }
  Result CheckOutput(const std::string& path) override { return user_.CheckOutput(path); }
  void BeginBusy() override { user_.BeginBusy(); }
  void EndBusy() override { user_.EndBusy(); }

 private:
  CUserPrompts& user_;
  CBatchProgress& progress_;
};

// Runs one command per file; after a failure or cancel past the first file,
// says how many were done.
CommandResult RunBatch(
    std::size_t count, CProgress& progress, CUserPrompts& user, const Message& stopped,
    const std::function<CommandResult(std::size_t, CProgress&, CUserPrompts&)>& each) {
  if (count == 1) return each(0, progress, user);  // exactly as the single-file command
  CBatchProgress batch(progress, count);
  CBatchUser batchUser(user, batch);
  for (std::size_t k = 0; k < count; ++k) {
    batch.StartFile(k);
    const CommandResult result = each(k, batch, batchUser);
    if (result == CommandResult::Done || result == CommandResult::Dismissed) continue;
    batch.CloseWindow();
    user.ShowMessage(Fill(stopped, {std::to_string(k), std::to_string(count)}));
    return result;
  }
  return CommandResult::Done;
}

std::string FolderPath(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A file the download does not write: named, and the batch fails at its end.
CommandResult Skip(CUserPrompts& user, const Message& why, const std::string& path) {
  user.ShowMessage(Fill(why, {path}));
  return CommandResult::Dismissed;
}

// Each file the batch names itself is first offered to the front end's check
// (never the card image or the trace, by any link); a regular file of the
// name is replaced only if the user agrees, and nothing else is written through.
CommandResult DownloadOne(CVmuCard& card, const ListedFile& file, const std::string& folder,
                          CardFileFormat format, std::set<std::string>& stems, CProgress& progress,
                          CUserPrompts& user) {
  // The name is the listed file's; the download itself checks that the card
  // still holds that file.
  CVmuDirEntry entry;
  if (!file.entryBytes.empty()) {
    entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(file.entryBytes.data()));
  } else {
    CBusyScope busy(user);
    if (!card.ReadDirEntry(file.index, entry)) return Fail(user, card.LastFailure());
  }
  char name[CVmuDirEntry::kFileNameLength + 1];
  entry.GetFileName(name);
  const bool vms = format == CardFileFormat::Vms;
  const std::string path =
      FolderPath(folder, DistinctFileStem(file.index, name, stems) + (vms ? ".vms" : ".dci"));
  std::string taken;
  for (const std::string& output :
       vms ? std::vector<std::string>{path, CVmsFile::Companion(path)} : std::vector{path}) {
    if (!user.CheckOutput(output)) return Skip(user, message::kDownloadOntoInput, output);
    if (!NameIsTaken(output)) continue;
    if (!CheckRegularFile(output)) return Skip(user, message::kDownloadInTheWay, output);
    if (taken.empty()) taken = output;
  }
  if (!taken.empty() && !user.AskYesNo(Fill(message::kAskOverwrite, {taken}), false)) {
    return Skip(user, message::kDownloadKept, taken);
  }
  return DownloadFile(card, file, path, progress, user);
}

// A VMS whose VMI is also named is uploaded through the VMI only.
std::vector<std::string> WithoutPairedVms(const std::vector<std::string>& paths) {
  std::vector<std::string> kept;
  for (const std::string& path : paths) {
    const bool vms = CVmsFile::IsPairName(path) && (path.back() == 's' || path.back() == 'S');
    if (vms && std::count(paths.begin(), paths.end(), CVmsFile::Companion(path)) > 0) continue;
    kept.push_back(path);
  }
  return kept;
}
}  // namespace

CommandResult DownloadFiles(CVmuCard& card, const std::vector<ListedFile>& files,
                            const std::string& folder, CardFileFormat format, CProgress& progress,
                            CUserPrompts& user) {
  std::set<std::string> stems;
  std::size_t skipped = 0;
  const auto each = [&](std::size_t k, CProgress& window, CUserPrompts& asked) {
    const CommandResult one = DownloadOne(card, files[k], folder, format, stems, window, asked);
    skipped += one == CommandResult::Dismissed ? 1 : 0;
    return one;
  };
  const CommandResult result =
      RunBatch(files.size(), progress, user, message::kDownloadsStopped, each);
  const bool ended = result == CommandResult::Done || result == CommandResult::Dismissed;
  return ended && skipped > 0 ? CommandResult::Failed : result;
}

CommandResult DownloadFiles(CVmuCard& card, const std::vector<ListedFile>& files,
                            CProgress& progress, CUserPrompts& user) {
  std::string folder;
  if (!user.ChooseFolder(folder)) return CommandResult::Dismissed;
  const bool vms = user.AskYesNo(message::kAskVmsFormat.text, false);
  return DownloadFiles(card, files, folder, vms ? CardFileFormat::Vms : CardFileFormat::Dci,
                       progress, user);
}

CommandResult UploadFiles(CVmuCard& card, const std::vector<std::string>& paths,
                          CProgress& progress, CUserPrompts& user, const MakeRoom& makeRoom) {
  const std::vector<std::string> files = WithoutPairedVms(paths);
  return RunBatch(files.size(), progress, user, message::kUploadsStopped,
                  [&](std::size_t k, CProgress& each, CUserPrompts& asked) {
                    return UploadFile(card, files[k], each, asked, makeRoom);
                  });
}

CommandResult UploadFiles(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          const MakeRoom& makeRoom) {
  std::vector<std::string> paths;
  if (!user.ChooseFilesToOpen(kCardFileKind, paths) || paths.empty()) {
    return CommandResult::Dismissed;
  }
  return UploadFiles(card, paths, progress, user, makeRoom);
}
