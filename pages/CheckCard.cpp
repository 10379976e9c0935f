#include <algorithm>
#include <memory>
#include <vector>

#include "CareCommands.h"
#include "Messages.h"
#include "PageCheck.h"
#include "PageImage.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuFat.h"

using card_format::kBlockSize;

namespace {
CommandResult Refuse(const CVmuCard& card, CUserPrompts& user, std::uint32_t code) {
  user.ShowMessage(card.MessageFor(code));
  return CommandResult::Failed;
}

std::string Report(const PageReport& report) {
  if (report.IsSound()) return message::kCheckSound.text;
  std::string text = message::kCheckDamaged.text;
  for (const PageFinding& finding : report.findings)
    if (!finding.text.empty()) text += "\n" + finding.text;
  return text;
}

std::string FileNameAt(const CPageImage& page, std::uint16_t slot) {
  for (const PageFile& file : FilesOf(page)) {
    if (file.slot != slot) continue;
    std::string name = file.name.substr(0, file.name.find('\0'));
    return name.erase(name.find_last_not_of(' ') + 1);
  }
  return std::to_string(slot);
}

// The mends Repair may make: the unnamed blocks, and the checksums the user agreed to.
struct Mends {
  std::vector<std::uint16_t> blocks;
  std::vector<PageFinding> checksums;
  bool Empty() const { return blocks.empty() && checksums.empty(); }
};

// Blocks look unnamed when the layout hides the entries that name them:
// then none is freed.
bool LayoutInDoubt(const PageReport& report) {
  for (const PageFinding& finding : report.findings) {
    if (finding.fault == PageFault::SystemChain) return true;
  }
  return false;
}

Mends ChooseMends(const CPageImage& page, const PageReport& report, CUserPrompts& user) {
  Mends mends;
  if (!LayoutInDoubt(report)) mends.blocks = report.UnnamedBlocks();
  for (const PageFinding& finding : report.findings) {
    if (finding.fault == PageFault::WrongChecksum &&
        user.AskYesNo(Fill(message::kAskFixChecksum, {FileNameAt(page, finding.slot)}), false)) {
      mends.checksums.push_back(finding);
    }
  }
  return mends;
}

// Every change goes to the cache, then to the card in one flush: freeing a
// block no file holds and rewriting a checksum hurt nothing whatever their order.
CommandResult WriteMends(CVmuCard& card, const Mends& mends, CUserPrompts& user) {
  CBusyScope busy(user);
  CVmuFat* fat = nullptr;
  if (!card.GetRootBlock()->GetFat(fat))
    return Refuse(card, user, card.GetRootBlock()->GetLastError());
  for (const std::uint16_t block : mends.blocks)
    if (!fat->SetEntry(block, CVmuFat::kFree)) return Refuse(card, user, fat->GetLastError());
  for (const PageFinding& fix : mends.checksums) {
    std::unique_ptr<CVmuRegion> file;
    if (!card.OpenFile(fix.slot, file)) return Refuse(card, user, card.GetLastError());
    std::uint8_t checksum[2];
    card_format::PutLe16(checksum, fix.block);
    if (!file->Write(card_format::kHeaderChecksum, checksum, 2, false))
      return Refuse(card, user, file->GetLastError());
    card.CloseFile(file);
  }
  return card.Flush() ? CommandResult::Done : Refuse(card, user, card.GetLastError());
}

std::string MendsText(const Mends& mends) {
  std::string text;
  if (!mends.blocks.empty())
    text = mends.blocks.size() == 1 ? "freed 1 block"
                                    : "freed " + std::to_string(mends.blocks.size()) + " blocks";
  if (!mends.checksums.empty()) {
    text += text.empty() ? "" : ", ";
    text += "wrote " + std::to_string(mends.checksums.size()) +
            (mends.checksums.size() == 1 ? " checksum" : " checksums");
  }
  return text;
}
}  // namespace

// Eight blocks a transfer, as a backup reads the page.
CommandResult ReadWholePage(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                            CPageImage& page) {
  constexpr std::uint32_t kRun = 8;
  CProgressSession session(progress, "Reading the memory card...", CVmuCard::kBlockCount);
  CVmuMemory& cache = *card.GetCache();
  for (std::uint32_t first = 0; first < CVmuCard::kBlockCount; first += kRun) {
    if (!cache.Preload(first, kRun)) return Refuse(card, user, cache.GetLastError());
    for (std::uint32_t block = first; block < first + kRun; ++block) {
      const std::uint8_t* bytes = nullptr;
      if (!cache.Read(block * kBlockSize, bytes, kBlockSize, false))
        return Refuse(card, user, cache.GetLastError());
      std::copy(bytes, bytes + kBlockSize, page.GetData() + block * kBlockSize);
    }
    if (session.UnitDone(static_cast<std::int32_t>(first))) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}

CommandResult CheckCard(CVmuCard& card, bool repair, const SafetyCopies& copies,
                        CProgress& progress, CUserPrompts& user, CheckVerdict& verdict) {
  CDiscardUnlessFinished changes(card);
  CPageImage page;
  CommandResult result = ReadWholePage(card, progress, user, page);
  if (result != CommandResult::Done) return result;
  PageReport report = CheckPage(page);
  std::string note;
  if (repair && !report.IsSound()) {
    const Mends mends = ChooseMends(page, report, user);
    if (mends.Empty()) {
      note = std::string("\n") + message::kRepairNothing.text;
    } else {
      std::string copy;
      if ((result = SaveSafetyCopy(page, copies, user, copy)) != CommandResult::Done) return result;
      if ((result = WriteMends(card, mends, user)) != CommandResult::Done) return result;
      if ((result = ReadWholePage(card, progress, user, page)) != CommandResult::Done)
        return result;
      report = CheckPage(page);
      note = "\n" + Fill(message::kRepairDone, {MendsText(mends)});
      if (!copy.empty()) note += "\n" + Fill(message::kSafetyCopySaved, {copy});
    }
  }
  changes.Finished();
  verdict.sound = report.IsSound();
  verdict.mendable =
      !LayoutInDoubt(report) &&
      std::any_of(report.findings.begin(), report.findings.end(), [](const PageFinding& finding) {
        return finding.fault == PageFault::UnnamedBlock ||
               finding.fault == PageFault::WrongChecksum;
      });
  user.ShowMessage(Report(report) + note);
  return CommandResult::Done;
}
