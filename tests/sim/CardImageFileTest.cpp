#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuLink.h"

namespace {

constexpr std::uint32_t kPage = CSimulatedCard::kPageSize;
const char kRealImages[] = "/work/shared/realdata/images/";

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Wire order and storage order differ inside each aligned group of four.
Bytes Reversed(const Bytes& bytes) {
  Bytes out(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    out[i] = bytes[i ^ 3];
  return out;
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 31 + (i >> 9) * 7 + seed) ^ (i >> 17));
  }
  return bytes;
}

Bytes CardMemory(CSimulatedCard& card) {
  Bytes all;
  for (std::uint32_t page = 0; page < CSimulatedCard::kPageCount; ++page) {
    all.insert(all.end(), card.GetPage(page), card.GetPage(page) + kPage);
  }
  return all;
}

std::unique_ptr<CVmuLink> LinkTo(CSimulatedCard& card) {
  auto link = std::make_unique<CVmuLink>(std::make_unique<CSimulatedPortRoad>(card));
  link->SetDelayFactor(0);
  link->SetTimeout(1000);
  return link;
}

// Reads every block of every page both ways, writes every unit anew (half of
// them with the swap flag), and checks the card and the file after each page.
void RoundTripFourPages(const std::string& path, bool storageOrder) {
  const Bytes original = Pattern(kPage * 4, 1);  // in wire order
  WriteFile(path, storageOrder ? Reversed(original) : original);
  CSimulatedCard card;
  std::string error;
  ASSERT_TRUE(card.OpenImage(path, error)) << error;
  auto link = LinkTo(card);

  const Bytes originalReversed = Reversed(original);
  const Bytes written = Pattern(kPage * 4, 99);  // in wire order
  const Bytes writtenReversed = Reversed(written);
  Bytes block(512);
  for (std::uint16_t page = 0; page < 4; ++page) {
    ASSERT_TRUE(link->SelectPage(page));
    const std::size_t base = std::size_t{page} * kPage;
    for (std::uint32_t address = 0; address < kPage; address += 512) {
      ASSERT_TRUE(link->Read(address, block.data(), 512, false));
      ASSERT_EQ(0, std::memcmp(block.data(), &original[base + address], 512)) << address;
      ASSERT_TRUE(link->Read(address, block.data(), 512, true));
      ASSERT_EQ(0, std::memcmp(block.data(), &originalReversed[base + address], 512));
    }
    for (std::uint32_t address = 0; address < kPage; address += 128) {
      const bool swap = (address / 128) % 2 == 1;
      const Bytes& source = swap ? writtenReversed : written;
      ASSERT_TRUE(link->Write(address, &source[base + address], 128, swap)) << address;
    }
    ASSERT_EQ(0, std::memcmp(card.GetPage(page), &written[base], kPage)) << page;
  }
  // The file holds everything while the card still has it open.
  const Bytes onDisk = ReadFile(path);
  EXPECT_TRUE(onDisk == (storageOrder ? writtenReversed : written));
  EXPECT_EQ(card.GetCounters().reads, 4u * 256 * 2);
  EXPECT_EQ(card.GetCounters().writeUnits, 4u * 1024);
  EXPECT_TRUE(card.GetImageProblem().empty());
}

}  // namespace

TEST(CardImageFile, FourPageImagesRoundTripInTheirOwnByteOrder) {
  CScratchDirectory scratch;
  RoundTripFourPages(scratch.File("card.dcm"), false);
  RoundTripFourPages(scratch.File("card.bin"), true);
}

TEST(CardImageFile, ExtensionDecidesTheOrderWhateverItsCase) {
  CScratchDirectory scratch;
  const Bytes page = Pattern(kPage, 5);
  for (const char* name : {"a.DCM", "b.Vmu", "c.BIN", "d.vmu"}) {
    const bool storageOrder = std::strcmp(name, "a.DCM") != 0;
    WriteFile(scratch.File(name), page);
    CSimulatedCard card;
    std::string error;
    ASSERT_TRUE(card.OpenImage(scratch.File(name), error)) << name << ": " << error;
    const Bytes wire = storageOrder ? Reversed(page) : page;
    EXPECT_EQ(0, std::memcmp(card.GetPage(0), wire.data(), kPage)) << name;
  }
}

TEST(CardImageFile, OnePageImageKeepsTheOtherPagesInMemory) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("one.vmu");
  const Bytes page = Pattern(kPage, 3);
  WriteFile(path, page);
  CSimulatedCard card;
  std::string error;
  ASSERT_TRUE(card.OpenImage(path, error)) << error;
  for (std::uint32_t other = 1; other < 4; ++other)
    EXPECT_EQ(card.GetPage(other)[77], 0xFF);

  auto link = LinkTo(card);
  // Unaligned and wrapping past the page's end: the file still gets whole groups.
  const Bytes unit = Pattern(128, 42);
  ASSERT_TRUE(link->Write(2, unit.data(), 128, false));
  ASSERT_TRUE(link->Write(kPage - 62, unit.data(), 128, false));
  ASSERT_TRUE(link->SelectPage(2));
  ASSERT_TRUE(link->Write(0x1000, unit.data(), 128, false));

  Bytes expected = Reversed(page);
  for (std::uint32_t k = 0; k < 128; ++k)
    expected[2 + k] = unit[k];
  for (std::uint32_t k = 0; k < 128; ++k)
    expected[(kPage - 62 + k) % kPage] = unit[k];
  EXPECT_EQ(0, std::memcmp(card.GetPage(0), expected.data(), kPage));
  EXPECT_EQ(0, std::memcmp(card.GetPage(2) + 0x1000, unit.data(), 128));
  const Bytes onDisk = ReadFile(path);
  EXPECT_EQ(onDisk.size(), kPage);
  EXPECT_TRUE(onDisk == Reversed(expected));
}

TEST(CardImageFile, RefusedImagesLeaveTheCardAsItWas) {
  CScratchDirectory scratch;
  const std::string good = scratch.File("good.dcm");
  WriteFile(good, Pattern(kPage, 8));
  CSimulatedCard card;
  std::string error;
  ASSERT_TRUE(card.OpenImage(good, error)) << error;
  auto link = LinkTo(card);
  ASSERT_TRUE(link->SelectPage(1));
  card.GetPage(3)[9] = 0x21;
  const Bytes before = CardMemory(card);

  std::filesystem::copy_file(std::string(kRealImages) + "truncated.vmu",
                             scratch.File("truncated.vmu"));
  WriteFile(scratch.File("card.txt"), Pattern(kPage, 1));
  WriteFile(scratch.File("big.bin"), Pattern(kPage * 2, 1));
  std::filesystem::create_directory(scratch.File("folder.bin"));
  const struct {
    const char* name;
    const char* reason;
  } refused[] = {
      {"truncated.vmu",
       "holds 130,066 bytes; a card image holds 131,072 (one page) or 524,288 (four pages)."},
      {"big.bin", "holds 262,144 bytes"},
      {"card.txt", ".dcm"},
      {"missing.bin", "cannot be opened"},
      {"folder.bin", "not a file"},
  };
  for (const auto& image : refused) {
    error.clear();
    EXPECT_FALSE(card.OpenImage(scratch.File(image.name), error)) << image.name;
    EXPECT_NE(error.find(image.name), std::string::npos) << error;
    EXPECT_NE(error.find(image.reason), std::string::npos) << error;
  }
  EXPECT_TRUE(CardMemory(card) == before);
  EXPECT_EQ(card.GetSelectedPage(), 1u);

  // The image opened before still takes the writes.
  ASSERT_TRUE(link->SelectPage(0));
  const Bytes unit = Pattern(128, 77);
  ASSERT_TRUE(link->Write(0, unit.data(), 128, false));
  EXPECT_EQ(0, std::memcmp(ReadFile(good).data(), unit.data(), 128));
}

TEST(CardImageFile, RealImageShowsItsRootBlockInWireOrder) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("vmu_save_A1.bin");
  std::filesystem::copy_file(std::string(kRealImages) + "vmu_save_A1.bin", path);
  const Bytes storage = ReadFile(path);
  ASSERT_EQ(storage.size(), kPage);

  CSimulatedCard card;
  std::string error;
  ASSERT_TRUE(card.OpenImage(path, error)) << error;
  const std::uint8_t* root = card.GetPage(0) + 130560;
  for (std::uint32_t i = 0; i < 512; ++i)
    ASSERT_EQ(root[i], storage[130560 + (i ^ 3)]) << i;
  EXPECT_EQ(root[16], 0xFF);  // storage bytes 01 ff ff ff arrive as ff ff ff 01
  EXPECT_EQ(root[19], 0x01);

  // Read with the swap flag, as the block layer does, the block is in storage order again.
  Bytes block(512);
  ASSERT_TRUE(LinkTo(card)->Read(130560, block.data(), 512, true));
  EXPECT_EQ(0, std::memcmp(block.data(), &storage[130560], 512));
  EXPECT_TRUE(ReadFile(path) == storage);  // reading writes nothing
}
