#include <algorithm>
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

// redated: a pair whose VMI gives no date, so that the file is dated now.
CommandResult ReadSource(const CardFileSource& source, LoneVms loneVms, CUserPrompts& user,
                         Declined* declined, CVmuDirEntry& entry, std::vector<std::uint8_t>& blocks,
                         bool& redated) {
  switch (source.kind) {
    case CardFileSource::Kind::Dci:
      break;
    case CardFileSource::Kind::Pair: {
      const Result read = CVmsFile::ReadPair(
          source.path, source.vms, CVmuTimestamp::Now().GetData(), entry, blocks, &redated);
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
  bool otherGame = false;             // a game the upload does not replace is on the page
  bool needsRoom = false;             // a game's blocks are held by data files
  CVmuDirEntry replaced;              // the replaced file's entry
  CVmuChain old;                      // and its chain
  std::vector<std::uint16_t> blocks;  // the new chain, in file order
  // A game whose old version holds some of its blocks from 0 up: its chain
  // there, in file order. Until the old version is freed, the new one waits
  // whole along blocks; then it moves here (MoveToBlockZero).
  std::vector<std::uint16_t> final;
  // The move itself: blocks already in place are not written again, and a
  // cancel is not taken, since the old version is gone by then.
  bool moving = false;
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
    } else {
      placement.otherGame = placement.otherGame || entry.GetType() == CVmuDirEntry::kGame;
    }
  }
  return freeFound || placement.replaces
             ? CommandResult::Done
             : Fail(user, Result::Failure(message::kDirectoryFull.text));
}

// The console runs a game only from block 0 upward. Blocks there that the
// old version of the game holds cannot take the new one until the new one is
// whole and the old freed: meanwhile, the new version's blocks for them wait
// in the highest free blocks beyond the game's. The free count is checked
// before: with as many blocks free as the game takes and none held by other
// files, enough lie beyond it.
CommandResult FindGameBlocks(const CVmuCard& card, CVmuFat& fat, std::uint16_t size,
                             std::uint16_t free, CUserPrompts& user, Placement& placement) {
  const std::vector<std::uint16_t>& old = placement.old.blocks;
  bool oldThere = false;
  for (std::uint16_t block = 0; block < size; ++block) {
    std::uint16_t next = 0;
    if (!fat.GetEntry(block, next)) return Fail(user, card.Failure(fat.GetLastError()));
    const bool ofOld = placement.replaces && std::count(old.begin(), old.end(), block) > 0;
    placement.needsRoom = placement.needsRoom || (next != CVmuFat::kFree && !ofOld);
    oldThere = oldThere || ofOld;
    placement.blocks.push_back(block);
  }
  if (!oldThere || placement.needsRoom) return CommandResult::Done;
  std::vector<std::uint16_t> waiting;
  if (!fat.FindFreeBlocks(size, waiting)) return Fail(user, card.Failure(fat.GetLastError()));
  waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                               [size](std::uint16_t block) { return block < size; }),
                waiting.end());
  placement.final = placement.blocks;
  auto next = waiting.begin();
  for (std::uint16_t& block : placement.blocks) {
    if (std::count(old.begin(), old.end(), block) == 0) continue;
    if (next == waiting.end()) {
      return Fail(user, Result::Failure(Fill(message::kNoRoomToReplace, {Need(size), Have(free)})));
    }
    block = *next++;
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
    return FindGameBlocks(card, fat, size, free, user, placement);
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
  const bool game = upload.GetType() == CVmuDirEntry::kGame;
  // A root that leaves the limit 0 sets none: some tools write no limit.
  std::uint16_t limit = 0;
  if (game && !root.GetMaxGameBlocks(limit)) return Fail(user, card.Failure(root.GetLastError()));
  if (game && limit != 0 && upload.GetSize() > limit) {
    return Fail(
        user, Result::Failure(Fill(message::kGameTooLarge, {Need(upload.GetSize()), Need(limit)})));
  }
  const CommandResult result = FindSlot(card, upload, user, placement);
  if (result != CommandResult::Done) return result;
  if (game && placement.otherGame) return Fail(user, Result::Failure(message::kGameThere.text));
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
  CProgressSession session(
      progress, (placement.moving ? message::kTitleMoveGame : message::kTitleUploadFile).text,
      size);
  for (std::uint16_t k = 0; k < size; ++k) {
    const std::uint32_t offset = std::uint32_t{k} * card_format::kBlockSize;
    const bool inPlace = placement.moving && placement.old.blocks[k] == placement.blocks[k];
    if (!inPlace &&
        !region->Write(offset, blocks.data() + offset, card_format::kBlockSize, false)) {
      return Fail(user, card.Failure(region->GetLastError()));
    }
    if (!inPlace && !card.Flush()) return Fail(user, card.LastFailure());
    if (session.UnitDone(k) && !placement.moving) return CommandResult::Cancelled;
  }
  session.Close();
  card.CloseFile(region);
  return CommandResult::Done;
}

// The chain, then the entry that names it, then (for a replace) the old
// chain's release, each on the card before the next: a stop in between
// leaves at most used blocks that no entry names, never an entry over free
// blocks, and always one version of the file whole. A game moving to block 0
// keeps the blocks it already holds there. The progress window has closed by
// now.
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
    if (std::count(blocks.begin(), blocks.end(), block) > 0) continue;
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

// A game replacing its old version, once it is whole along the blocks it
// waited in and the old version freed, moves to its blocks from 0 up as a
// replace of itself: the blocks not yet there are written, then its chain,
// its entry and the waiting blocks' release, each on the card before the
// next, so that a stop leaves it whole in one place or the other.
CommandResult MoveToBlockZero(CVmuCard& card, CVmuFat& fat, CVmuDirEntry& entry,
                              const std::vector<std::uint8_t>& blocks, const Placement& waited,
                              CProgress& progress, CUserPrompts& user) {
  Placement move;
  move.slot = waited.slot;
  move.replaces = move.moving = true;
  move.old.blocks = waited.blocks;
  move.blocks = waited.final;
  const CommandResult result = WriteBlocks(card, move, blocks, progress, user);
  return result == CommandResult::Done ? Commit(card, fat, entry, move, user) : result;
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
  if ((result = WriteBlocks(card, placement, blocks, progress, user)) != CommandResult::Done ||
      (result = Commit(card, *fat, entry, placement, user)) != CommandResult::Done)
    return result;
  if (!placement.final.empty() && (result = MoveToBlockZero(card, *fat, entry, blocks, placement,
                                                            progress, user)) != CommandResult::Done)
    return result;
  if (decisions.onUploaded) {
    UploadedFile uploaded{DescribeWrittenFile(placement.slot, entry, blocks), std::nullopt};
    std::uint16_t free = 0;
    if (fat->CountFree(free)) uploaded.freeBlocks = free;
    decisions.onUploaded(uploaded);
  }
  return CommandResult::Done;
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
  bool redated = false;
  const CommandResult read =
      ReadSource(source, decisions.loneVms, user, declined, entry, blocks, redated);
  if (read != CommandResult::Done) return read;
  const CommandResult result = UploadFile(card, entry, blocks, progress, user, decisions, declined);
  if (result == CommandResult::Done && redated)
    user.ShowMessage(Fill(message::kVmiUndated, {source.path}));
  return result;
}

CommandResult UploadFile(CVmuCard& card, CVmuDirEntry& entry,
                         const std::vector<std::uint8_t>& blocks, CProgress& progress,
                         CUserPrompts& user, const UploadDecisions& decisions, Declined* declined) {
  // Whatever the upload could not store on the card is dropped, never left
  // for a later command to write.
  CDiscardUnlessFinished changes(card);
  const CommandResult result = Place(card, entry, blocks, progress, user, decisions, declined);
  if (result != CommandResult::Done) return result;
  changes.Finished();
  return result;
}
