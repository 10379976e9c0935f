#include "PageCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "RealData.h"
#include "ScratchDirectory.h"

namespace {
using card_format::PutLe16;
using Bytes = std::vector<std::uint8_t>;

// A data file of size blocks whose header carries the checksum its bytes give.
Bytes DataFile(std::uint16_t size, std::uint8_t seed) {
  Bytes bytes(size * 512u);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i);
  PutLe16(&bytes[card_format::kHeaderIconCount], 1);
  PutLe16(&bytes[card_format::kHeaderEyecatchType], 0);
  PutLe16(&bytes[card_format::kHeaderDataSize], 100);
  PutLe16(&bytes[card_format::kHeaderDataSize + 2], 0);
  PutLe16(&bytes[card_format::kHeaderChecksum], DataFileChecksum(bytes));
  return bytes;
}

void Place(CPageImage& page, std::uint16_t slot, const char* name, std::uint16_t first,
           std::uint16_t size) {
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, first, size);
  char name12[12] = {};
  std::string(name).copy(name12, 12);
  entry.SetFileName(name12);
  ASSERT_TRUE(page.PlaceFile(slot, entry, DataFile(size, static_cast<std::uint8_t>(slot)).data()));
}

// Files A (199-197), B (196-195) and G, a game at 0-1, on a formatted page.
CPageImage SoundPage() {
  CPageImage page = CPageImage::Formatted();
  Place(page, 0, "A", 199, 3);
  Place(page, 1, "B", 196, 2);
  CVmuDirEntry game = MakeEntry(CVmuDirEntry::kGame, 0, 2);
  game.SetFileName("GAME        ");
  PlaceChain(page, 2, game.GetData(), {0, 1}, Bytes(1024, 0x42));  // no checksum to judge
  return page;
}

std::vector<PageFault> Faults(const CPageImage& page) {
  std::vector<PageFault> faults;
  for (const PageFinding& finding : CheckPage(page).findings) {
    faults.push_back(finding.fault);
    EXPECT_FALSE(finding.text.empty() && finding.fault != PageFault::UnnamedBlock);
  }
  return faults;
}

std::uint8_t* Root(CPageImage& page) {
  return page.GetBlock(card_format::kRootBlock);
}

// B's header declaring dataSize bytes of data and, as its checksum, the Crc16
// of B's bytes (that field zeroed) cut or zero-padded to length.
void Checksum(CPageImage& page, std::uint32_t dataSize, std::size_t length) {
  std::uint8_t* header = page.GetBlock(196);
  PutLe16(header + card_format::kHeaderDataSize, static_cast<std::uint16_t>(dataSize));
  PutLe16(header + card_format::kHeaderDataSize + 2, static_cast<std::uint16_t>(dataSize >> 16));
  PutLe16(header + card_format::kHeaderChecksum, 0);
  Bytes bytes = ChainBytes(page, {196, 195});
  bytes.resize(length, 0);
  PutLe16(header + card_format::kHeaderChecksum, card_format::Crc16(bytes.data(), bytes.size()));
}

TEST(PageCheck, FindsEachKindOfDamageOnAPageDamagedThatWay) {
  using F = PageFault;
  const struct {
    const char* what;
    std::function<void(CPageImage&)> damage;
    std::vector<PageFault> found;
  } cases[] = {
      {"sound", [](CPageImage&) {}, {}},
      {"unformatted", [](CPageImage& p) { Root(p)[3] = 0; }, {F::NotFormatted}},
      {"table over user blocks",
       [](CPageImage& p) { PutLe16(Root(p) + 70, 150); },
       {F::ImplausibleRoot}},
      {"directory over the table",
       [](CPageImage& p) { PutLe16(Root(p) + 74, 254); },
       {F::ImplausibleRoot}},
      {"directory unchained", [](CPageImage& p) { p.SetFatEntry(250, 0xFFFC); }, {F::SystemChain}},
      // Real cards count 240 or 241 entries where the directory holds 208.
      {"more entries counted than held", [](CPageImage& p) { PutLe16(Root(p) + 80, 240); }, {}},
      {"loop", [](CPageImage& p) { p.SetFatEntry(198, 199); }, {F::ChainLoops, F::UnnamedBlock}},
      // A whole chain the size disagrees with: the blocks it reaches stay named.
      {"ends early",
       [](CPageImage& p) { p.SetFatEntry(198, 0xFFFA); },
       {F::SizeDisagrees, F::UnnamedBlock}},
      {"runs long",
       [](CPageImage& p) {
         p.SetFatEntry(195, 100);
         p.SetFatEntry(100, 0xFFFA);
       },
       {F::SizeDisagrees}},
      {"size 0", [](CPageImage& p) { p.GetBlock(253)[24] = 0; }, {F::SizeDisagrees}},
      {"into the directory",
       [](CPageImage& p) { p.SetFatEntry(198, 250); },
       {F::ChainEntersSystem, F::UnnamedBlock}},
      {"off the page",
       [](CPageImage& p) { p.SetFatEntry(198, 300); },
       {F::ChainLeavesPage, F::UnnamedBlock}},
      {"over a free block",
       [](CPageImage& p) { p.SetFatEntry(196, 0xFFFC); },
       {F::ChainOverFreeBlock, F::UnnamedBlock}},
      {"into another file",
       [](CPageImage& p) { p.SetFatEntry(196, 197); },
       {F::SharedBlock, F::WrongChecksum, F::UnnamedBlock}},
      {"same name", [](CPageImage& p) { p.GetBlock(253)[32 + 4] = 'A'; }, {F::DuplicateName}},
      {"orphan", [](CPageImage& p) { p.SetFatEntry(50, 0xFFFA); }, {F::UnnamedBlock}},
      {"checksum", [](CPageImage& p) { p.GetBlock(195)[100] ^= 1; }, {F::WrongChecksum}},
      {"checksum not set", [](CPageImage& p) { PutLe16(p.GetBlock(196) + 0x46, 0); }, {}},
      {"checksum over the declared extent, zero-padded past the file",
       [](CPageImage& p) { Checksum(p, 2000, 128 + 512 + 2000); },
       {}},
      {"checksum over all blocks", [](CPageImage& p) { Checksum(p, 100, 1024); }, {}},
      {"declared extent past a page",  // no real file is that long
       [](CPageImage& p) { Checksum(p, 131072, 128 + 512 + 131072); },
       {F::WrongChecksum}},
      // Slots past the root's count of 200 hold files too.
      {"file in slot 204", [](CPageImage& p) { Place(p, 204, "C", 150, 1); }, {}},
  };
  for (const auto& c : cases) {
    CPageImage page = SoundPage();
    c.damage(page);
    EXPECT_EQ(Faults(page), c.found) << c.what;
  }
}

TEST(PageCheck, ReportsNothingOnSoundRealCardsAndFindsTheForeignLayout) {
  KORVANTIS_NEED_REALDATA("images");
  const std::filesystem::path images = RealData("images");
  for (const char* name : {"vmu_save_A1.bin", "ReadFiles_01.vmu", "PACit.bin", "vmoooo.bin",
                           "empty_vmu_image.bin", "vmu_extended_blocks_2.bin"}) {
    CPageImage page;
    const Bytes bytes = ReadBytes((images / name).string());
    ASSERT_EQ(bytes.size(), card_format::kPageSize) << name;
    std::copy(bytes.begin(), bytes.end(), page.GetData());
    EXPECT_EQ(ConsistencyProblems(page), std::vector<std::string>{}) << name;
    for (const PageFinding& finding : CheckPage(page).findings)
      ADD_FAILURE() << name << ": " << finding.text;
  }
  // A directory of one chained block under a root that counts thirteen: its
  // five files are whole; the layout is reported, and one save whose header
  // checksum matches none of its extents.
  CPageImage foreign;
  const Bytes bytes = ReadBytes((images / "need_defrag_chao_adv2.bin").string());
  std::copy(bytes.begin(), bytes.end(), foreign.GetData());
  EXPECT_EQ(Faults(foreign),
            (std::vector<PageFault>{PageFault::SystemChain, PageFault::WrongChecksum}));
  EXPECT_EQ(FilesOf(foreign).size(), 5u);
  for (const PageFile& file : FilesOf(foreign))
    EXPECT_TRUE(file.IsSound()) << file.name;
}
}  // namespace
