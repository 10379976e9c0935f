// The input is a DCI file, uploaded to a freshly formatted card. Besides
// crashes, the target checks the whole page the upload left: a refused file
// leaves it exactly as formatted, and an accepted one leaves it as a formatted
// page with that file placed in directory slot 0 from block 199 downward (a
// game from block 0 upward), nothing else changed. An accepted file costs four write units per
// block; the -max_len that run-fuzzers.sh sets keeps that to a few dozen blocks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "FileCommands.h"
#include "FuzzCard.h"
#include "FuzzUser.h"
#include "PageImage.h"
#include "QuietProgress.h"
#include "ScratchFile.h"
#include "SimulatedCard.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"
#include "VmuFat.h"

namespace {
// On an empty page a data file takes the run that descends from the highest
// user block, a game the run that climbs from block 0.
constexpr std::uint16_t kFirstDataBlock = CVmuFat::kUserBlocks - 1;

// Pages as the simulated card keeps them, in wire order.
CPageImage WireOrder(CPageImage page) {
  card_format::ReverseGroups(page.GetData(), card_format::kPageSize);
  return page;
}

const CPageImage& FormattedWire() {
  static const CPageImage page = WireOrder(CPageImage::Formatted());
  return page;
}

// The input's entry and blocks (wire order in the file) as the page keeps them.
CPageImage ExpectedAfterUpload(const std::uint8_t* data) {
  CVmuDirEntry entry;
  entry.CopyFrom(data);
  entry.SetFirstBlock(entry.GetType() == CVmuDirEntry::kGame ? 0 : kFirstDataBlock);
  const std::size_t bytes = std::size_t{entry.GetSize()} * card_format::kBlockSize;
  std::vector<std::uint8_t> blocks(data + CVmuDirEntry::kLength,
                                   data + CVmuDirEntry::kLength + bytes);
  card_format::ReverseGroups(blocks.data(), blocks.size());
  CPageImage page = CPageImage::Formatted();
  if (!page.PlaceFile(0, entry, blocks.data())) {
    std::fprintf(stderr, "DciFuzzer: an upload of %u blocks was accepted\n",
                 unsigned{entry.GetSize()});
    std::abort();
  }
  return WireOrder(page);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CScratchFile input("input.dci");
  if (!input.Write(data, size)) return 0;

  CSimulatedCard sim;
  std::memcpy(sim.GetPage(0), FormattedWire().GetData(), card_format::kPageSize);
  const std::unique_ptr<CVmuCard> owned = FuzzCardOn(sim);
  CVmuCard& card = *owned;
  CQuietProgress progress;
  CFuzzUser user(input.Path());
  const bool accepted = UploadFile(card, progress, user) == CommandResult::Done;

  // An accepted upload read the whole entry and all of its blocks from data.
  const CPageImage expected = accepted ? ExpectedAfterUpload(data) : FormattedWire();
  if (std::memcmp(sim.GetPage(0), expected.GetData(), card_format::kPageSize) != 0) {
    std::fprintf(stderr, "DciFuzzer: the %s upload left the page other than expected\n",
                 accepted ? "accepted" : "refused");
    std::abort();
  }
  return 0;
}
