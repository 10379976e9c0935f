#include "FileBatch.h"

#include <algorithm>
#include <functional>
#include <set>

#include "BatchProgress.h"
#include "BatchUser.h"
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
// name is replaced only as decided, and nothing else is written through.
CommandResult DownloadOne(CVmuCard& card, const ListedFile& file, const std::string& folder,
                          CardFileFormat format, Overwrite overwrite, std::set<std::string>& stems,
                          CProgress& progress, CUserPrompts& user, Declined* declined) {
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
  // A pair's stem is one its VMI can name whole, so that the pair stays one.
  const bool vms = format == CardFileFormat::Vms;
  const std::string path = FolderPath(
      folder, vms ? DistinctShortStem(file.index, name, CVmsFile::kResourceLength, stems) + ".vms"
                  : DistinctFileStem(file.index, name, stems) + ".dci");
  if (entry.GetSize() == 0) return Skip(user, message::kDownloadNoBlocks, path);
  std::string taken;
  for (const std::string& output :
       vms ? std::vector<std::string>{path, CVmsFile::Companion(path)} : std::vector{path}) {
    if (!user.CheckOutput(output)) return Skip(user, message::kDownloadOntoInput, output);
    if (!NameIsTaken(output)) continue;
    if (!CheckRegularFile(output)) return Skip(user, message::kDownloadInTheWay, output);
    if (taken.empty()) taken = output;
  }
  if (!taken.empty() && overwrite != Overwrite::Always &&
      (overwrite == Overwrite::Never ||
       !user.AskYesNo(Fill(message::kAskOverwrite, {taken}), false))) {
    NoteDeclined(declined, Declined::Overwrite);
    return Skip(user, message::kDownloadKept, taken);
  }
  return DownloadFile(card, file, path, progress, user);
}
}  // namespace

CommandResult DownloadFiles(CVmuCard& card, const std::vector<ListedFile>& files,
                            const std::string& folder, CardFileFormat format, CProgress& progress,
                            CUserPrompts& user, Overwrite overwrite, Declined* declined) {
  std::set<std::string> stems;
  std::size_t skipped = 0;
  const auto each = [&](std::size_t k, CProgress& window, CUserPrompts& asked) {
    const CommandResult one =
        DownloadOne(card, files[k], folder, format, overwrite, stems, window, asked, declined);
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
  CardFileFormat format = CardFileFormat::Dci;
  if (!user.ChooseFolderAndFormat(folder, format)) return CommandResult::Dismissed;
  return DownloadFiles(card, files, folder, format, progress, user);
}

CommandResult UploadFiles(CVmuCard& card, const std::vector<std::string>& paths,
                          CProgress& progress, CUserPrompts& user, const UploadDecisions& decisions,
                          Declined* declined) {
  const std::vector<CardFileSource> sources = CardFileSourcesOf(paths);
  return RunBatch(sources.size(), progress, user, message::kUploadsStopped,
                  [&](std::size_t k, CProgress& each, CUserPrompts& asked) {
                    return UploadFile(card, sources[k], each, asked, decisions, declined);
                  });
}

CommandResult UploadFiles(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          const UploadDecisions& decisions) {
  std::vector<std::string> paths;
  if (!user.ChooseFilesToOpen(kCardFileKind, paths) || paths.empty()) {
    return CommandResult::Dismissed;
  }
  return UploadFiles(card, paths, progress, user, decisions);
}
