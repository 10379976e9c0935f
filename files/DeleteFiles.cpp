#include <algorithm>
#include <string>
#include <vector>

#include "CardPreconditions.h"
#include "FileCommands.h"
#include "Messages.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
std::string Quoted(const CVmuDirEntry& entry) {
  return "\"" + entry.GetDisplayName() + "\"";
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
  const std::string files = entries.size() == 1
                                ? Quoted(entries.front())
                                : Fill(message::kSeveralFiles, {std::to_string(entries.size())});
  return Fill(
      message::kAskDelete,
      {files, protectedNames.empty() ? "" : Fill(message::kDeleteProtected, {protectedNames})});
}

// The blocks that the entries kept reach: whatever their sizes say and
// whether or not their chains are whole, none of these is freed.
CommandResult KeptBlocks(CVmuCard& card, const std::vector<std::uint16_t>& doomed,
                         CUserPrompts& user, std::vector<bool>& kept) {
  kept.assign(card_format::kBlocksPerPage, false);
  std::uint16_t count = 0;
  if (!card.GetEntryCount(count)) return Fail(user, card.LastFailure());
  for (std::uint16_t slot = 0; slot < count; ++slot) {
    if (std::binary_search(doomed.begin(), doomed.end(), slot)) continue;
    CVmuDirEntry entry;
    CVmuChain chain;
    if (!card.ReadDirEntry(slot, entry)) return Fail(user, card.LastFailure());
    if (entry.GetType() == CVmuDirEntry::kFree) continue;
    if (!card.ReadChain(entry.GetFirstBlock(), entry.GetSize(), chain))
      return Fail(user, card.LastFailure());
    for (const std::uint16_t block : chain.blocks)
      kept[block] = true;
  }
  return CommandResult::Done;
}

// Every entry is cleared and stored before any block is freed, so a stop in
// between leaves at most blocks no entry names (which Repair frees), never an
// entry over free blocks. Only blocks of a chain that reaches its end marker
// are freed, and of those none that a kept entry reaches: a damaged chain's
// blocks, and blocks two files share, may be another file's.
CommandResult Remove(CVmuCard& card, const std::vector<Doomed>& doomed,
                     const std::vector<bool>& kept, CUserPrompts& user) {
  CBusyScope busy(user);
  const CVmuDirEntry cleared;
  for (const Doomed& file : doomed)
    if (!card.WriteDirEntry(file.index, cleared)) return Fail(user, card.LastFailure());
  if (!card.Flush()) return Fail(user, card.LastFailure());
  CVmuFat* fat = nullptr;
  if (!card.GetRootBlock()->GetFat(fat))
    return Fail(user, card.Failure(card.GetRootBlock()->GetLastError()));
  for (const Doomed& file : doomed) {
    if (!file.chain.ended) continue;
    for (const std::uint16_t block : file.chain.blocks)
      if (!kept[block] && !fat->SetEntry(block, CVmuFat::kFree))
        return Fail(user, card.Failure(fat->GetLastError()));
  }
  return card.Flush() ? CommandResult::Done : Fail(user, card.LastFailure());
}

// The files' entries and chains, read from the card. A slot given alone
// that is free is passed over.
CommandResult Gather(CVmuCard& card, const std::vector<ListedFile>& files, CUserPrompts& user,
                     std::vector<CVmuDirEntry>& entries, std::vector<Doomed>& doomed,
                     std::vector<bool>& kept) {
  CBusyScope busy(user);
  entries.clear();
  doomed.clear();
  card.Invalidate();  // nothing unwritten is ever left between commands
  Result ready = CheckFormatted(card);
  if (ready) ready = CheckLayout(card);
  if (ready && !card.ReadDirectory()) ready = card.LastFailure();
  if (!ready) return Fail(user, ready);
  for (const ListedFile& file : files) {
    CVmuDirEntry entry;
    if (Result listed = ReadListedEntry(card, file, entry); !listed) return Fail(user, listed);
    if (entry.GetType() == CVmuDirEntry::kFree) continue;
    Doomed one{file.index, {}};
    if (!card.ReadChain(entry.GetFirstBlock(), entry.GetSize(), one.chain))
      return Fail(user, card.LastFailure());
    entries.push_back(entry);
    doomed.push_back(one);
  }
  std::vector<std::uint16_t> slots;
  for (const Doomed& file : doomed)
    slots.push_back(file.index);
  std::sort(slots.begin(), slots.end());
  return KeptBlocks(card, slots, user, kept);
}

CommandResult Delete(CVmuCard& card, const std::vector<ListedFile>& files, Confirm confirm,
                     CUserPrompts& user, Declined* declined) {
  std::vector<CVmuDirEntry> entries;
  std::vector<Doomed> doomed;
  std::vector<bool> kept;
  CommandResult result = Gather(card, files, user, entries, doomed, kept);
  if (result != CommandResult::Done) return result;
  if (doomed.empty()) return CommandResult::Dismissed;
  if (confirm == Confirm::Ask) {
    if (!user.AskYesNo(Question(entries), false)) {
      NoteDeclined(declined, Declined::Confirm);
      return CommandResult::Dismissed;
    }
    // The card may have been swapped while the question was open: what is
    // deleted is what the question named, or nothing.
    std::vector<ListedFile> named;
    for (std::size_t k = 0; k < doomed.size(); ++k)
      named.emplace_back(doomed[k].index, entries[k]);
    if ((result = Gather(card, named, user, entries, doomed, kept)) != CommandResult::Done)
      return result;
  }
  return Remove(card, doomed, kept, user);
}
}  // namespace

CommandResult DeleteFiles(CVmuCard& card, std::vector<ListedFile> files, CUserPrompts& user,
                          Confirm confirm, Declined* declined) {
  // Each slot once, in directory order.
  std::stable_sort(files.begin(), files.end(),
                   [](const ListedFile& a, const ListedFile& b) { return a.index < b.index; });
  const auto sameSlot = [](const ListedFile& a, const ListedFile& b) { return a.index == b.index; };
  files.erase(std::unique(files.begin(), files.end(), sameSlot), files.end());
  CDiscardUnlessFinished changes(card);
  const CommandResult result = Delete(card, files, confirm, user, declined);
  if (result == CommandResult::Done) changes.Finished();
  return result;
}
