#include <memory>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "CardPreconditions.h"
#include "DciFile.h"
#include "FileCommands.h"
#include "FileReader.h"
#include "Messages.h"
#include "Progress.h"
#include "UserPrompts.h"
#include "VmsFile.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"
#include "VmuTimestamp.h"

namespace {
// The two counts the refusals for want of space fill in.
std::string Need(std::uint16_t size) {
  return Counted(size, message::kOneBlock, message::kBlocks);
}

std::string Have(std::uint16_t available) {
  if (available == 0) return message::kNoBlockFree.text;
  return Counted(available, message::kOnlyOneBlockFree, message::kOnlyBlocksFree);
}

// Only files with at least one block, and all of their blocks, are taken.
CommandResult ReadDci(const std::string& path, CUserPrompts& user, CVmuDirEntry& entry,
                      std::vector<std::uint8_t>& blocks) {
  CDciFile file;
  Result read = file.Open(path);
  if (read) read = file.ReadEntry(entry);
  if (!read) return Fail(user, read);
  if (entry.GetType() == CVmuDirEntry::kFree || entry.GetSize() == 0) {
    return Fail(user, Result::Failure(message::kCannotRead.text));
  }
  read = file.ReadBlocks(entry.GetSize(), blocks);
  return read ? CommandResult::Done : Fail(user, read);
}

// A VMS without its VMI, once it is decided that it goes as a data file
// named after it. Only a VMS file that is there is asked about.
CommandResult ReadLoneVms(const std::string& path, LoneVms decision, CUserPrompts& user,
                          Declined* declined, CVmuDirEntry& entry,
                          std::vector<std::uint8_t>& blocks) {
  const Result there = CheckRegularFile(path);
  if (!there)
    return Fail(user,
                Result::Failure(Fill(message::kVmsMissing, {path, there.Message()}), there.Code()));
  if (decision == LoneVms::No ||
      (decision == LoneVms::Ask &&
       !user.AskYesNo(Fill(message::kAskVmsAlone, {path, CVmsFile::CardNameFor(path)}), false))) {
    NoteDeclined(declined, Declined::LoneVms);
    return Fail(user, Result::Failure(Fill(message::kVmsNotUploaded, {path})));
  }
  // dated now, as the console dates what it writes
  const Result read = CVmsFile::ReadAlone(path, CVmuTimestamp::Now().GetData(), entry, blocks);
  return read ? CommandResult::Done : Fail(user, read);
}

CommandResult ReadSource(const CardFileSource& source, LoneVms loneVms, CUserPrompts& user,
                         Declined* declined, CVmuDirEntry& entry,
                         std::vector<std::uint8_t>& blocks) {
  switch (source.kind) {
    case CardFileSource::Kind::Dci:
      break;
    case CardFileSource::Kind::Pair: {
      const Result read = CVmsFile::ReadPair(source.path, source.vms, entry, blocks);
      return read ? CommandResult::Done : Fail(user, read);
    }
    case CardFileSource::Kind::LoneVms:
      return ReadLoneVms(source.path, loneVms, user, declined, entry, blocks);
  }
  return ReadDci(source.path, user, entry, blocks);
}

// Where the upload goes: a directory slot, and the blocks of its chain.
struct Placement {
  std::uint16_t slot = 0;
  bool replaces = false;
  bool gameThere = false;
  bool needsRoom = false;             // a game's blocks are held by data files
  CVmuDirEntry replaced;              // the replaced file's entry
  CVmuChain old;                      // and its chain
  std::vector<std::uint16_t> blocks;  // the new chain, in file order
};

// The first entry of the upload's name, which it replaces, or else the lowest
// free entry among the first as many as the root counts (the console takes
// no other). Every slot is read: a name further on must not be given to a
// second file.
CommandResult FindSlot(CVmuCard& card, const CVmuDirEntry& upload, CUserPrompts& user,
                       Placement& placement) {
  std::uint16_t count = 0, limit = 0;
  if (!card.GetEntryCount(count) || !card.GetNewEntryLimit(limit) || !card.ReadDirectory())
    return Fail(user, card.LastFailure());
  bool freeFound = false;
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) return Fail(user, card.LastFailure());
    placement.gameThere = placement.gameThere || entry.GetType() == CVmuDirEntry::kGame;
    if (entry.GetType() == CVmuDirEntry::kFree) {
      if (i >= limit) continue;
      if (!freeFound && !placement.replaces) placement.slot = i;
      freeFound = true;
    } else if (!placement.replaces && entry.HasSameName(upload)) {
      placement.slot = i;
      placement.replaces = true;
      placement.replaced = entry;
      if (!card.ReadChain(entry.GetFirstBlock(), entry.GetSize(), placement.old)) {
        return Fail(user, card.LastFailure());
      }
    }
  }
  return freeFound || placement.replaces
             ? CommandResult::Done
             : Fail(user, Result::Failure(message::kDirectoryFull.text));
}

// The console runs a game only from block 0 upward.
CommandResult FindGameBlocks(const CVmuCard& card, CVmuFat& fat, std::uint16_t size,
                             CUserPrompts& user, Placement& placement) {
  for (std::uint16_t block = 0; block < size; ++block) {
    std::uint16_t next = 0;
    if (!fat.GetEntry(block, next)) return Fail(user, card.Failure(fat.GetLastError()));
    placement.needsRoom = placement.needsRoom || next != CVmuFat::kFree;
    placement.blocks.push_back(block);
  }
  return CommandResult::Done;
}

// The new chain takes the highest free user blocks, downward, skipping used
// ones, as the console fills the holes deleted files leave. The old version
// of a replaced file is not free until the new one is whole.
CommandResult FindBlocks(const CVmuCard& card, CVmuFat& fat, const CVmuDirEntry& upload,
                         CUserPrompts& user, Placement& placement) {
  const std::uint16_t size = upload.GetSize();
  std::uint16_t free = 0;
  if (!fat.CountFree(free)) return Fail(user, card.Failure(fat.GetLastError()));
  if (free < size) {
    return Fail(user, Result::Failure(Fill(
                          placement.replaces ? message::kNoRoomToReplace : message::kNotEnoughSpace,
                          {Need(size), Have(free)})));
  }
  if (upload.GetType() == CVmuDirEntry::kGame)
    return FindGameBlocks(card, fat, size, user, placement);
  if (!fat.FindFreeBlocks(size, placement.blocks))
    return Fail(user, card.Failure(fat.GetLastError()));
  return CommandResult::Done;
}

// Where the file goes, read before the progress window opens.
CommandResult FindPlace(CVmuCard& card, const CVmuDirEntry& upload, CUserPrompts& user,
                        CVmuFat*& fat, Placement& placement) {
  CBusyScope busy(user);
  if (Result formatted = CheckFormatted(card); !formatted) return Fail(user, formatted);
  CVmuRootBlock& root = *card.GetRootBlock();
  if (!root.GetFat(fat)) return Fail(user, card.Failure(root.GetLastError()));
  if (Result layout = CheckLayout(card); !layout) return Fail(user, layout);
  const CommandResult result = FindSlot(card, upload, user, placement);
  if (result != CommandResult::Done) return result;
  if (upload.GetType() == CVmuDirEntry::kGame && placement.gameThere)
    return Fail(user, Result::Failure(message::kGameThere.text));
  return FindBlocks(card, *fat, upload, user, placement);
}

// Decided last, once the upload is known to fit; No is the question's
// default. The card may be swapped while the question is open, so the page
// is read again after the answer: the file replaced is the one the question
// named, or none.
CommandResult ConfirmReplace(CVmuCard& card, const CVmuDirEntry& upload, Replace decision,
                             CUserPrompts& user, Declined* declined, CVmuFat*& fat,
                             Placement& placement) {
  const std::string name = upload.GetDisplayName();
  if (!placement.old.IsSound()) {
    return Fail(user, Result::Failure(
                          Fill(message::kReplaceDamaged, {name, ChainFaultText(placement.old)})));
  }
  if (decision == Replace::Always) return CommandResult::Done;
  if (decision == Replace::Never || !user.AskYesNo(Fill(message::kAskReplace, {name}), false)) {
    NoteDeclined(declined, Declined::Replace);
    return Fail(user, Result::Failure(Fill(message::kNotReplaced, {name})));
  }
  const ListedFile asked(placement.slot, placement.replaced);
  card.Invalidate();  // nothing is written before this point
  placement = Placement();
  const CommandResult result = FindPlace(card, upload, user, fat, placement);
  if (result != CommandResult::Done) return result;
  if (!placement.replaces || placement.slot != asked.index || !placement.old.IsSound())
    return Fail(user, Result::Failure(message::kCardChanged.text));
  CVmuDirEntry now;
  const Result listed = ReadListedEntry(card, asked, now);
  return listed ? CommandResult::Done : Fail(user, listed);
}

// Each block reaches the card before the next is prepared. Until the chain
// and the entry follow, the blocks written stay free, so a stop here loses
// nothing that was on the card.
CommandResult WriteBlocks(CVmuCard& card, const Placement& placement,
                          const std::vector<std::uint8_t>& blocks, CProgress& progress,
                          CUserPrompts& user) {
  std::unique_ptr<CVmuRegion> region;
  if (!card.MakeRegion(placement.blocks, region)) {
    return Fail(user, card.LastFailure());
  }
  const auto size = static_cast<std::uint16_t>(placement.blocks.size());
  CProgressSession session(progress, message::kTitleUploadFile.text, size);
  for (std::uint16_t k = 0; k < size; ++k) {
    const std::uint32_t offset = std::uint32_t{k} * card_format::kBlockSize;
    if (!region->Write(offset, blocks.data() + offset, card_format::kBlockSize, false)) {
      return Fail(user, card.Failure(region->GetLastError()));
    }
    if (!card.Flush()) return Fail(user, card.LastFailure());
    if (session.UnitDone(k)) return CommandResult::Cancelled;
  }
  session.Close();
  card.CloseFile(region);
  return CommandResult::Done;
}

// The chain, then the entry that names it, then (for a replace) the old
// chain's release, each on the card before the next: a stop in between
// leaves at most used blocks that no entry names, never an entry over free
// blocks, and always one version of the file whole. The progress window has
// closed by now.
CommandResult Commit(CVmuCard& card, CVmuFat& fat, CVmuDirEntry& entry, const Placement& placement,
                     CUserPrompts& user) {
  CBusyScope busy(user);
  const std::vector<std::uint16_t>& blocks = placement.blocks;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    const std::uint16_t next = k + 1 < blocks.size() ? blocks[k + 1] : CVmuFat::kLastBlock;
    if (!fat.SetEntry(blocks[k], next)) return Fail(user, card.Failure(fat.GetLastError()));
  }
  if (!card.Flush()) return Fail(user, card.LastFailure());

  entry.SetFirstBlock(blocks.front());
  if (!card.WriteDirEntry(placement.slot, entry) || !card.Flush()) {
    return Fail(user, card.LastFailure());
  }
  if (!placement.replaces) return CommandResult::Done;

  for (const std::uint16_t block : placement.old.blocks) {
    if (!fat.SetEntry(block, CVmuFat::kFree)) return Fail(user, card.Failure(fat.GetLastError()));
  }
  if (!card.Flush()) return Fail(user, card.LastFailure());
  return CommandResult::Done;
}

// The console runs a game only from block 0 up: data files there are moved
// away by the page's defragment, as decided, and the place found anew; or
// the game is refused.
CommandResult MakeRoom(CVmuCard& card, const CVmuDirEntry& game, const UploadDecisions& decisions,
                       CProgress& progress, CUserPrompts& user, Declined* declined, CVmuFat*& fat,
                       Placement& placement) {
  const std::string last = std::to_string(game.GetSize() - 1);
  const std::string refusal = Fill(message::kGameNeedsRoom, {last});
  const Defragment decision = decisions.runDefragment ? decisions.defragment : Defragment::No;
  if (decision == Defragment::Ask && !user.AskYesNo(Fill(message::kDefragNeeded, {last}), false)) {
    NoteDeclined(declined, Declined::Defragment);
    return CommandResult::Dismissed;
  }
  if (decision == Defragment::No) {
    NoteDeclined(declined, Declined::Defragment);
    return Fail(user, Result::Failure(refusal));
  }
  CommandResult result = decisions.runDefragment(card, progress, user);
  if (result != CommandResult::Done) return result;
  placement = Placement();
  if ((result = FindPlace(card, game, user, fat, placement)) != CommandResult::Done) return result;
  return placement.needsRoom ? Fail(user, Result::Failure(refusal)) : CommandResult::Done;
}

CommandResult Place(CVmuCard& card, CVmuDirEntry& entry, const std::vector<std::uint8_t>& blocks,
                    CProgress& progress, CUserPrompts& user, const UploadDecisions& decisions,
                    Declined* declined) {
  CVmuFat* fat = nullptr;
  Placement placement;
  CommandResult result = FindPlace(card, entry, user, fat, placement);
  if (result != CommandResult::Done) return result;
  if (placement.needsRoom && (result = MakeRoom(card, entry, decisions, progress, user, declined,
                                                fat, placement)) != CommandResult::Done)
    return result;
  if (placement.replaces && (result = ConfirmReplace(card, entry, decisions.replace, user, declined,
                                                     fat, placement)) != CommandResult::Done) {
    return result;
  }
  if ((result = WriteBlocks(card, placement, blocks, progress, user)) != CommandResult::Done) {
    return result;
  }
  return Commit(card, *fat, entry, placement, user);
}
}  // namespace

CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                         const UploadDecisions& decisions, Declined* declined) {
  std::string path;
  if (!user.ChooseFileToOpen(kCardFileKind, path)) return CommandResult::Dismissed;
  return UploadFile(card, path, progress, user, decisions, declined);
}

CommandResult UploadFile(CVmuCard& card, const std::string& path, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions, Declined* declined) {
  return UploadFile(card, CardFileSourceOf(path), progress, user, decisions, declined);
}

CommandResult UploadFile(CVmuCard& card, const CardFileSource& source, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions, Declined* declined) {
  CVmuDirEntry entry;
  std::vector<std::uint8_t> blocks;
  const CommandResult read = ReadSource(source, decisions.loneVms, user, declined, entry, blocks);
  if (read != CommandResult::Done) return read;
  return UploadFile(card, entry, blocks, progress, user, decisions, declined);
}

CommandResult UploadFile(CVmuCard& card, CVmuDirEntry& entry,
                         const std::vector<std::uint8_t>& blocks, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions, Declined* declined) {
  // Whatever the upload could not store on the card is dropped, never left
  // for a later command to write.
  CDiscardUnlessFinished changes(card);
  const CommandResult result = Place(card, entry, blocks, progress, user, decisions, declined);
  if (result == CommandResult::Done) changes.Finished();
  return result;
}
