#include <algorithm>
#include <memory>
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

namespace {
// Blocks look unnamed when the layout hides the entries that name them:
// then none is freed.
bool LayoutInDoubt(const PageReport& report) {
  for (const PageFinding& finding : report.findings) {
    if (finding.fault == PageFault::SystemChain) return true;
  }
  return false;
}
}  // namespace

bool RepairCanMend(const PageReport& report) {
  return !LayoutInDoubt(report) && std::any_of(report.findings.begin(), report.findings.end(),
                                               [](const PageFinding& finding) {
                                                 return finding.fault == PageFault::UnnamedBlock ||
                                                        finding.fault == PageFault::SizeDisagrees ||
                                                        finding.fault == PageFault::WrongChecksum;
                                               });
}

// Damage Repair cannot mend is no dead end: what is listed can still be saved.
std::string DamageLines(const PageReport& report) {
  std::string text;
  for (const PageFinding& finding : report.findings)
    if (!finding.text.empty()) text += "\n" + finding.text;
  if (report.IsSound() || RepairCanMend(report)) return text;
  return text + "\n" + message::kRepairCannotMend.text + "  " +
         message::kDamagedFilesStillThere.text;
}

namespace {
std::string Report(const PageReport& report) {
  if (report.IsSound()) return message::kCheckSound.text;
  return message::kCheckDamaged.text + DamageLines(report);
}

PageFile FileAt(const CPageImage& page, std::uint16_t slot) {
  for (PageFile& file : FilesOf(page))
    if (file.slot == slot) return std::move(file);
  return PageFile();
}

std::string NameOf(const PageFile& file) {
  return card_format::DisplayName(file.name);
}

std::string Blocks(std::size_t count) {
  return Counted(count, message::kOneBlock, message::kBlocks);
}

// The mends Repair may make: the unnamed blocks, and the sizes and checksums
// the user agreed to.
struct Mends {
  std::vector<std::uint16_t> blocks;
  std::vector<PageFinding> sizes;
  std::vector<PageFinding> checksums;
  bool Empty() const { return blocks.empty() && sizes.empty() && checksums.empty(); }
};

// A size is set to its chain's length only when the user agrees; a checksum
// is rewritten only as the request says.
Mends ChooseMends(const CPageImage& page, const PageReport& report, const CheckRequest& request,
                  CUserPrompts& user) {
  Mends mends;
  if (!LayoutInDoubt(report)) mends.blocks = report.UnnamedBlocks();
  for (const PageFinding& finding : report.findings) {
    if (finding.fault == PageFault::SizeDisagrees) {
      const PageFile file = FileAt(page, finding.slot);
      const std::uint16_t size = card_format::GetLe16(file.entry.data() + card_format::kEntrySize);
      if (user.AskYesNo(Fill(message::kAskFixSize,
                             {NameOf(file), Blocks(size), std::to_string(finding.length)}),
                        false))
        mends.sizes.push_back(finding);
    } else if (finding.fault == PageFault::WrongChecksum) {
      const bool rewrite =
          request.checksums == CheckRequest::Checksums::Rewrite ||
          (request.checksums == CheckRequest::Checksums::Ask &&
           user.AskYesNo(Fill(message::kAskFixChecksum, {NameOf(FileAt(page, finding.slot))}),
                         false));
      if (rewrite) mends.checksums.push_back(finding);
    }
  }
  return mends;
}

// Every change goes to the cache, then to the card in one flush: freeing a
// block no entry reaches, setting a size to its whole chain's length and
// rewriting a checksum hurt nothing whatever their order.
CommandResult WriteMends(CVmuCard& card, const Mends& mends, CUserPrompts& user) {
  CBusyScope busy(user);
  CVmuFat* fat = nullptr;
  if (!card.GetRootBlock()->GetFat(fat))
    return Fail(user, card.Failure(card.GetRootBlock()->GetLastError()));
  for (const std::uint16_t block : mends.blocks)
    if (!fat->SetEntry(block, CVmuFat::kFree)) return Fail(user, card.Failure(fat->GetLastError()));
  for (const PageFinding& fix : mends.sizes) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(fix.slot, entry)) return Fail(user, card.LastFailure());
    entry.SetSize(fix.length);
    if (!card.WriteDirEntry(fix.slot, entry)) return Fail(user, card.LastFailure());
  }
  for (const PageFinding& fix : mends.checksums) {
    std::unique_ptr<CVmuRegion> file;
    if (!card.OpenFile(fix.slot, file)) return Fail(user, card.LastFailure());
    std::uint8_t checksum[2];
    card_format::PutLe16(checksum, fix.checksum);
    if (!file->Write(card_format::kHeaderChecksum, checksum, 2, false))
      return Fail(user, card.Failure(file->GetLastError()));
    card.CloseFile(file);
  }
  return card.Flush() ? CommandResult::Done : Fail(user, card.LastFailure());
}

std::string MendsText(const Mends& mends) {
  std::vector<std::string> parts;
  if (!mends.blocks.empty())
    parts.push_back(Fill(message::kRepairFreed, {Blocks(mends.blocks.size())}));
  if (!mends.sizes.empty()) {
    parts.push_back(Counted(mends.sizes.size(), message::kRepairOneSize, message::kRepairSizes));
  }
  if (!mends.checksums.empty()) {
    parts.push_back(
        Counted(mends.checksums.size(), message::kRepairOneChecksum, message::kRepairChecksums));
  }
  std::string text;
  for (const std::string& part : parts)
    text += (text.empty() ? "" : ", ") + part;
  return text;
}
}  // namespace

// Eight blocks a transfer, as a backup reads the page.
CommandResult ReadWholePage(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                            CPageImage& page) {
  constexpr std::uint32_t kRun = 8;
  CProgressSession session(progress, message::kTitleReadPage.text, CVmuCard::kBlockCount);
  CVmuMemory& cache = *card.GetCache();
  for (std::uint32_t first = 0; first < CVmuCard::kBlockCount; first += kRun) {
    if (!cache.Preload(first, kRun)) return Fail(user, card.Failure(cache.GetLastError()));
    for (std::uint32_t block = first; block < first + kRun; ++block) {
      const std::uint8_t* bytes = nullptr;
      if (!cache.Read(block * kBlockSize, bytes, kBlockSize, false))
        return Fail(user, card.Failure(cache.GetLastError()));
      std::copy(bytes, bytes + kBlockSize, page.GetData() + block * kBlockSize);
    }
    if (session.UnitDone(static_cast<std::int32_t>(first))) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}

CommandResult CheckCard(CVmuCard& card, const CheckRequest& request, const SafetyCopies& copies,
                        CProgress& progress, CUserPrompts& user, CheckVerdict& verdict) {
  CDiscardUnlessFinished changes(card);
  CPageImage page;
  CommandResult result = ReadWholePage(card, progress, user, page);
  if (result != CommandResult::Done) return result;
  PageReport report = CheckPage(page);
  std::string text = Report(report);
  if (request.repair && !report.IsSound()) {
    const Mends mends = ChooseMends(page, report, request, user);
    if (mends.Empty()) {
      // Damage Repair could never mend already says so.
      if (RepairCanMend(report)) text += std::string("\n") + message::kRepairNothing.text;
    } else {
      std::string copy;
      if (Result saved = SaveSafetyCopy(page, copies, copy); !saved) return Fail(user, saved);
      if ((result = WriteMends(card, mends, user)) != CommandResult::Done) return result;
      if ((result = ReadWholePage(card, progress, user, page)) != CommandResult::Done)
        return result;
      report = CheckPage(page);
      // What was mended, then what is left, then where the copy is.
      text = Fill(message::kRepairDone, {MendsText(mends)}) + "\n" +
             (report.IsSound() ? std::string(message::kRepairedSound.text)
                               : message::kRepairedDamaged.text + DamageLines(report));
      text = DoneMessage(text, copy);
    }
  }
  changes.Finished();
  verdict.sound = report.IsSound();
  verdict.mendable = RepairCanMend(report);
  user.ShowMessage(text);
  return CommandResult::Done;
}
