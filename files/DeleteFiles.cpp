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
CommandResult Refuse(const CVmuCard& card, CUserPrompts& user, std::uint32_t code) {
  user.ShowMessage(card.MessageFor(code));
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
    if (!card.WriteDirEntry(file.index, cleared)) return Refuse(card, user, card.GetLastError());
  if (!card.Flush()) return Refuse(card, user, card.GetLastError());
  CVmuFat* fat = nullptr;
  if (!card.GetRootBlock()->GetFat(fat))
    return Refuse(card, user, card.GetRootBlock()->GetLastError());
  for (const Doomed& file : doomed) {
    if (!file.chain.IsSound()) continue;
    for (const std::uint16_t block : file.chain.blocks)
      if (!fat->SetEntry(block, CVmuFat::kFree)) return Refuse(card, user, fat->GetLastError());
  }
  return card.Flush() ? CommandResult::Done : Refuse(card, user, card.GetLastError());
}

CommandResult Delete(CVmuCard& card, const std::vector<std::uint16_t>& indices,
                     CUserPrompts& user) {
  std::vector<CVmuDirEntry> entries;
  std::vector<Doomed> doomed;
  {
    CBusyScope busy(user);
    const CommandResult formatted = CheckFormatted(card, user);
    if (formatted != CommandResult::Done) return formatted;
    for (const std::uint16_t index : indices) {
      CVmuDirEntry entry;
      if (!card.ReadDirEntry(index, entry)) return Refuse(card, user, card.GetLastError());
      if (entry.GetType() == CVmuDirEntry::kFree) continue;
      Doomed file{index, {}};
      if (!card.ReadChain(entry.GetFirstBlock(), entry.GetSize(), file.chain))
        return Refuse(card, user, card.GetLastError());
      entries.push_back(entry);
      doomed.push_back(file);
    }
  }
  if (doomed.empty()) return CommandResult::Dismissed;
  if (!user.AskYesNo(Question(entries), false)) return CommandResult::Dismissed;
  return Remove(card, doomed, user);
}
}  // namespace

CommandResult DeleteFiles(CVmuCard& card, std::vector<std::uint16_t> indices, CUserPrompts& user) {
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  CDiscardUnlessFinished changes(card);
  const CommandResult result = Delete(card, indices, user);
  if (result == CommandResult::Done) changes.Finished();
  return result;
}
