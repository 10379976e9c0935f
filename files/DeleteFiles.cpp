#include <algorithm>
#include <string>
#include <vector>

#include "FileCommands.h"
#include "Messages.h"
#include "PageChecks.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
CommandResult Refuse(CUserPrompts& user, std::uint32_t code) {
  user.ShowMessage(StatusMessage(code));
  return CommandResult::Failed;
}

std::string Quoted(const CVmuDirEntry& entry) {
  char name[CVmuDirEntry::kFileNameLength + 1];
  entry.GetFileName(name);
  std::string text = name;
  return "\"" + text.erase(text.find_last_not_of(' ') + 1) + "\"";
}

struct Doomed {
  std::uint16_t index;
  CVmuChain chain;
};

// "Delete "SONIC" from ...", "Delete 3 files from ...", naming the copy-protected ones.
std::string Question(const std::vector<CVmuDirEntry>& entries) {
  std::string protectedNames;
  for (const CVmuDirEntry& entry : entries) {
    if (entry.GetCopyProtect() == 0) continue;
    protectedNames += (protectedNames.empty() ? "" : ", ") + Quoted(entry);
  }
  const std::string files =
      entries.size() == 1 ? Quoted(entries.front()) : std::to_string(entries.size()) + " files";
  return Fill(
      message::kAskDelete,
      {files, protectedNames.empty() ? "" : Fill(message::kDeleteProtected, {protectedNames})});
}

// Every entry is cleared and stored before any block is freed, so a stop in
// between leaves at most blocks no entry names (which Repair frees), never an
// entry over free blocks. A damaged chain's blocks are left as they are: they
// may be another file's.
CommandResult Remove(CVmuCard& card, const std::vector<Doomed>& doomed, CUserPrompts& user) {
  CBusyScope busy(user);
  const CVmuDirEntry cleared;
  for (const Doomed& file : doomed)
    if (!card.WriteDirEntry(file.index, cleared)) return Refuse(user, card.GetLastError());
  if (!card.Flush()) return Refuse(user, card.GetLastError());
  CVmuFat* fat = nullptr;
  if (!card.GetRootBlock()->GetFat(fat)) return Refuse(user, card.GetRootBlock()->GetLastError());
  for (const Doomed& file : doomed) {
    if (!file.chain.IsSound()) continue;
    for (const std::uint16_t block : file.chain.blocks)
      if (!fat->SetEntry(block, CVmuFat::kFree)) return Refuse(user, fat->GetLastError());
  }
  return card.Flush() ? CommandResult::Done : Refuse(user, card.GetLastError());
}

// The files' entries and chains, read from the card. A slot given alone
// that is free is passed over.
CommandResult Gather(CVmuCard& card, const std::vector<ListedFile>& files, CUserPrompts& user,
                     std::vector<CVmuDirEntry>& entries, std::vector<Doomed>& doomed) {
  CBusyScope busy(user);
  entries.clear();
  doomed.clear();
  card.Invalidate();  // nothing unwritten is ever left between commands
  CommandResult result = CheckFormatted(card, user);
  if (result != CommandResult::Done) return result;
  for (const ListedFile& file : files) {
    CVmuDirEntry entry;
    if ((result = ReadListedEntry(card, file, user, entry)) != CommandResult::Done) return result;
    if (entry.GetType() == CVmuDirEntry::kFree) continue;
    Doomed one{file.index, {}};
    if (!card.ReadChain(entry.GetFirstBlock(), entry.GetSize(), one.chain))
      return Refuse(user, card.GetLastError());
    entries.push_back(entry);
    doomed.push_back(one);
  }
  return CommandResult::Done;
}

CommandResult Delete(CVmuCard& card, const std::vector<ListedFile>& files, CUserPrompts& user) {
  std::vector<CVmuDirEntry> entries;
  std::vector<Doomed> doomed;
  CommandResult result = Gather(card, files, user, entries, doomed);
  if (result != CommandResult::Done) return result;
  if (doomed.empty()) return CommandResult::Dismissed;
  if (!user.AskYesNo(Question(entries), false)) return CommandResult::Dismissed;
  // The card may have been swapped while the question was open: what is
  // deleted is what the question named, or nothing.
  std::vector<ListedFile> named;
  for (std::size_t k = 0; k < doomed.size(); ++k)
    named.emplace_back(doomed[k].index, entries[k]);
  if ((result = Gather(card, named, user, entries, doomed)) != CommandResult::Done) return result;
  return Remove(card, doomed, user);
}
}  // namespace

CommandResult DeleteFiles(CVmuCard& card, std::vector<ListedFile> files, CUserPrompts& user) {
  // Each slot once, in directory order.
  std::stable_sort(files.begin(), files.end(),
                   [](const ListedFile& a, const ListedFile& b) { return a.index < b.index; });
  const auto sameSlot = [](const ListedFile& a, const ListedFile& b) { return a.index == b.index; };
  files.erase(std::unique(files.begin(), files.end(), sameSlot), files.end());
  CDiscardUnlessFinished changes(card);
  const CommandResult result = Delete(card, files, user);
  if (result == CommandResult::Done) changes.Finished();
  return result;
}
