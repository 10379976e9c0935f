#include <algorithm>
#include <set>
#include <vector>

#include "CareCommands.h"
#include "Messages.h"
#include "PageCheck.h"
#include "PageImage.h"
#include "Progress.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"
#include "VmuFat.h"

using card_format::kBlockSize;
using card_format::kUserBlocks;

namespace {
// Block k of data file f goes from one block to another.
struct Move {
  std::size_t file;
  std::size_t k;
  std::uint16_t from, to;
};
using Batch = std::vector<Move>;

// Where each data file's blocks are now and where they belong.
struct Plan {
  std::vector<PageFile> files;
  std::vector<std::vector<std::uint16_t>> target;
  std::vector<Batch> batches;
  std::size_t moves = 0;
};

int First(const PageFile& file) {
  return file.chain.empty() ? -1 : file.chain[0];
}

// A game stays where the console runs it from; a file that reaches above the
// user blocks stays too, since only the user blocks are laid out anew.
bool StaysPut(const PageFile& file) {
  return file.entry[card_format::kEntryType] == card_format::kTypeGame ||
         std::any_of(file.chain.begin(), file.chain.end(),
                     [](std::uint16_t b) { return b >= kUserBlocks; });
}

// The other data files, in the order of their first blocks, highest first,
// take the user blocks from 199 downward that no file staying put holds.
void ChooseTargets(const CPageImage& page, Plan& plan, std::vector<bool>& used) {
  std::vector<bool> game(kUserBlocks, false);
  for (PageFile& file : FilesOf(page)) {
    if (!StaysPut(file)) {
      plan.files.push_back(std::move(file));
      continue;
    }
    for (const std::uint16_t b : file.chain)
      if (b < kUserBlocks) game[b] = true;
  }
  std::stable_sort(plan.files.begin(), plan.files.end(),
                   [](const PageFile& a, const PageFile& b) { return First(a) > First(b); });
  std::uint16_t next = kUserBlocks;
  for (const PageFile& file : plan.files) {
    plan.target.emplace_back();
    for (std::size_t k = 0; k < file.chain.size(); ++k) {
      while (game[--next]) {
      }
      plan.target.back().push_back(next);
    }
  }
  used.assign(kUserBlocks, true);
  for (const std::uint16_t b : FreeUserBlocks(page))
    used[b] = false;
}

// Batches of moves, each onto blocks free when the batch starts. A block
// whose place is taken by blocks that wait for each other's places goes
// first to a block that ends free and is used so only once. False when no
// such block is left.
bool MakeBatches(const CPageImage& page, Plan& plan) {
  std::vector<bool> used(kUserBlocks), spent(kUserBlocks, false), final(kUserBlocks, false);
  ChooseTargets(page, plan, used);
  std::vector<std::vector<std::uint16_t>> at;
  for (std::size_t f = 0; f < plan.files.size(); ++f) {
    at.push_back(plan.files[f].chain);
    for (const std::uint16_t b : plan.target[f])
      final[b] = true;
  }
  for (;;) {
    Batch batch;
    std::vector<std::pair<std::size_t, std::size_t>> waiting;
    for (std::size_t f = 0; f < at.size(); ++f) {
      for (std::size_t k = 0; k < at[f].size(); ++k) {
        const std::uint16_t to = plan.target[f][k];
        if (at[f][k] == to) continue;
        if (used[to]) {
          waiting.emplace_back(f, k);
        } else {
          batch.push_back({f, k, at[f][k], to});
          used[to] = true;  // taken for this batch
        }
      }
    }
    if (batch.empty() && waiting.empty()) return true;
    if (batch.empty()) {
      std::uint16_t via = 0;
      while (via < kUserBlocks && (used[via] || final[via] || spent[via]))
        ++via;
      if (via == kUserBlocks) return false;
      const auto [f, k] = waiting.front();
      batch.push_back({f, k, at[f][k], via});
      used[via] = spent[via] = true;
    }
    for (const Move& move : batch) {
      used[move.from] = false;
      at[move.file][move.k] = move.to;
    }
    plan.moves += batch.size();
    plan.batches.push_back(std::move(batch));
  }
}

// One batch as an upload with replace writes a file: the blocks' bytes, then
// the table entries of the new blocks, then what points at them (the entry or
// an unmoved block before them), then the old blocks' release. Each step is on
// the card before the next, so every file stays whole whatever step is the last.
class CBatchWriter {
 public:
  CBatchWriter(CVmuCard& card, const CPageImage& page, Plan& plan, CUserPrompts& user)
      : card_(card), page_(page), plan_(plan), user_(user) {
    for (const PageFile& file : plan.files)
      at_.push_back(file.chain);
  }

  CommandResult Write(const Batch& batch, CProgressSession& session, std::int32_t& moved) {
    CVmuFat* fat = nullptr;
    if (!card_.GetRootBlock()->GetFat(fat))
      return Fail(user_, card_.Failure(card_.GetRootBlock()->GetLastError()));
    for (const Move& move : batch) {
      const std::uint16_t origin = plan_.files[move.file].chain[move.k];
      if (!card_.GetCache()->Write(move.to * kBlockSize, page_.GetData() + origin * kBlockSize,
                                   kBlockSize, false) ||
          !card_.Flush()) {
        return Fail(user_, card_.LastFailure());
      }
      if (session.UnitDone(moved++)) return CommandResult::Cancelled;
    }
    std::vector<std::vector<std::uint16_t>> after = at_;
    for (const Move& move : batch)
      after[move.file][move.k] = move.to;
    std::set<std::pair<std::size_t, std::size_t>> moving;
    for (const Move& move : batch)
      moving.emplace(move.file, move.k);

    for (const Move& move : batch) {
      const std::vector<std::uint16_t>& chain = after[move.file];
      const std::uint16_t next =
          move.k + 1 < chain.size() ? chain[move.k + 1] : CVmuFat::kLastBlock;
      if (!fat->SetEntry(move.to, next)) return Fail(user_, card_.Failure(fat->GetLastError()));
    }
    if (!card_.Flush()) return Fail(user_, card_.LastFailure());
    for (const Move& move : batch) {
      if (move.k == 0) {
        const std::uint16_t slot = plan_.files[move.file].slot;
        CVmuDirEntry entry;
        if (!card_.ReadDirEntry(slot, entry)) return Fail(user_, card_.LastFailure());
        entry.SetFirstBlock(move.to);
        if (!card_.WriteDirEntry(slot, entry)) return Fail(user_, card_.LastFailure());
      } else if (moving.count({move.file, move.k - 1}) == 0 &&
                 !fat->SetEntry(after[move.file][move.k - 1], move.to)) {
        return Fail(user_, card_.Failure(fat->GetLastError()));
      }
    }
    if (!card_.Flush()) return Fail(user_, card_.LastFailure());
    for (const Move& move : batch)
      if (!fat->SetEntry(move.from, CVmuFat::kFree))
        return Fail(user_, card_.Failure(fat->GetLastError()));
    if (!card_.Flush()) return Fail(user_, card_.LastFailure());
    at_ = std::move(after);
    return CommandResult::Done;
  }

 private:
  CVmuCard& card_;
  const CPageImage& page_;
  Plan& plan_;
  CUserPrompts& user_;
  std::vector<std::vector<std::uint16_t>> at_;
};

bool Damaged(const PageReport& report) {
  return std::any_of(report.findings.begin(), report.findings.end(),
                     [](const PageFinding& f) { return f.fault != PageFault::WrongChecksum; });
}

std::string FreeText(const CPageImage& page) {
  return Counted(FreeUserBlocks(page).size(), message::kOneBlockFree, message::kBlocksFree);
}

CommandResult Defragment(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                         CUserPrompts& user) {
  CPageImage page;
  CommandResult result = ReadWholePage(card, progress, user, page);
  if (result != CommandResult::Done) return result;
  if (const PageReport report = CheckPage(page); Damaged(report)) {
    // Asking for a check only helps where Repair can mend; either way the
    // files listed can still be saved.
    const bool mendable = RepairCanMend(report);
    std::string text = (mendable ? message::kDefragDamaged : message::kDefragBeyondRepair).text +
                       DamageLines(report);
    if (mendable) text += std::string("\n") + message::kDamagedFilesStillThere.text;
    return Fail(user, Result::Failure(text));
  }
  Plan plan;
  if (!MakeBatches(page, plan)) return Fail(user, Result::Failure(message::kDefragNoRoom.text));
  std::string copy;
  if (plan.moves != 0) {
    if (Result saved = SaveSafetyCopy(page, copies, copy); !saved) return Fail(user, saved);
  }
  {
    CProgressSession session(progress, message::kTitleDefragment.text,
                             static_cast<std::int32_t>(plan.moves));
    CBatchWriter writer(card, page, plan, user);
    std::int32_t moved = 0;
    for (const Batch& batch : plan.batches)
      if ((result = writer.Write(batch, session, moved)) != CommandResult::Done) return result;
  }
  user.ShowMessage(DoneMessage(Fill(message::kDefragDone, {FreeText(page)}), copy));
  return CommandResult::Done;
}
}  // namespace

CommandResult DefragmentPage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                             CUserPrompts& user) {
  CDiscardUnlessFinished changes(card);
  const CommandResult result = Defragment(card, copies, progress, user);
  if (result == CommandResult::Done) changes.Finished();
  return result;
}
