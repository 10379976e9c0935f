#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CardImageFile.h"
#include "CardOnSimulator.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"

namespace {

constexpr std::uint32_t kPage = card_format::kPageSize;

using Bytes = std::vector<std::uint8_t>;

// Wire order and storage order differ inside each aligned group of four.
Bytes Reversed(const Bytes& bytes) {
  Bytes out(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    out[i] = bytes[i ^ 3];
  return out;
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>((i * 31 + (i >> 9) * 7 + seed) ^ (i >> 17));
  return bytes;
}

Bytes CardMemory(CSimulatedCard& card) {
  Bytes all;
  for (std::uint32_t page = 0; page < card_format::kPageCount; ++page)
    all.insert(all.end(), card.GetPage(page), card.GetPage(page) + kPage);
  return all;
}

// Reads every block of every page, writes every unit anew (half of
// them with the swap flag), and checks the card and the file after each page.
void RoundTripFourPages(const std::string& path, bool storageOrder) {
  const Bytes original = Pattern(kPage * 4, 1), written = Pattern(kPage * 4, 99);  // wire order
  const Bytes originalReversed = Reversed(original), writtenReversed = Reversed(written);
  WriteBytes(path, storageOrder ? originalReversed : original);
  CCardOnSimulator sim;
  ASSERT_TRUE(Succeeded(sim.Sim().OpenImage(path, ImageAccess::Write)));
  const auto card = sim.MakeCard();  // not recorded: four pages are big
  CVmuLink& link = *card->GetLink();

  Bytes block(512);
  for (std::uint16_t page = 0; page < 4; ++page) {
    ASSERT_TRUE(link.SelectPage(page));
    const std::size_t base = std::size_t{page} * kPage;
    for (std::uint32_t address = 0; address < kPage; address += 512) {
      ASSERT_TRUE(link.Read(address, block.data(), 512, false));
      ASSERT_EQ(0, std::memcmp(block.data(), &original[base + address], 512)) << address;
    }
    for (std::uint32_t address = 0; address < kPage; address += 128) {
      const bool swap = (address / 128) % 2 == 1;
      const Bytes& source = swap ? writtenReversed : written;
      ASSERT_TRUE(link.Write(address, &source[base + address], 128, swap)) << address;
    }
    ASSERT_EQ(0, std::memcmp(sim.Sim().GetPage(page), &written[base], kPage)) << page;
  }
  // The file holds everything while the card still has it open.
  EXPECT_TRUE(ReadBytes(path) == (storageOrder ? writtenReversed : written));
}

}  // namespace

// How the extension of a new image decides its order is tested with the page
// image, which writes one and opens it here.
TEST(CardImageFile, FourPageImagesRoundTripInTheirOwnByteOrder) {
  CScratchDirectory scratch;
  RoundTripFourPages(scratch.File("card.dcm"), false);
  RoundTripFourPages(scratch.File("card.bin"), true);
}

TEST(CardImageFile, OnePageImageKeepsTheOtherPagesInMemory) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("one.vmu");
  const Bytes page = Pattern(kPage, 3);
  WriteBytes(path, page);
  CCardOnSimulator sim;
  ASSERT_TRUE(Succeeded(sim.Sim().OpenImage(path, ImageAccess::Write)));
  for (std::uint32_t other = 1; other < 4; ++other)
    EXPECT_EQ(sim.Sim().GetPage(other)[77], 0xFF);

  // Unaligned and wrapping past the page's end: the file still gets whole groups.
  const Bytes unit = Pattern(128, 42);
  ASSERT_TRUE(sim.Link().Write(2, unit.data(), 128, false));
  ASSERT_TRUE(sim.Link().Write(kPage - 62, unit.data(), 128, false));
  ASSERT_TRUE(sim.Link().SelectPage(2));
  ASSERT_TRUE(sim.Link().Write(0x1000, unit.data(), 128, false));

  Bytes expected = Reversed(page);
  for (std::uint32_t k = 0; k < 128; ++k) {
    expected[2 + k] = unit[k];
    expected[(kPage - 62 + k) % kPage] = unit[k];
  }
  EXPECT_EQ(0, std::memcmp(sim.Sim().GetPage(0), expected.data(), kPage));
  EXPECT_EQ(0, std::memcmp(sim.Sim().GetPage(2) + 0x1000, unit.data(), 128));
  EXPECT_TRUE(ReadBytes(path) == Reversed(expected));
}

TEST(CardImageFile, RefusedImagesLeaveTheCardAsItWas) {
  CScratchDirectory scratch;
  const std::string good = scratch.File("good.dcm");
  WriteBytes(good, Pattern(kPage, 8));
  CCardOnSimulator sim;
  CSimulatedCard& card = sim.Sim();
  ASSERT_TRUE(Succeeded(card.OpenImage(good, ImageAccess::Write)));
  ASSERT_TRUE(sim.Link().SelectPage(1));
  card.GetPage(3)[9] = 0x21;
  const Bytes before = CardMemory(card);

  WriteBytes(scratch.File("truncated.vmu"), Pattern(130066, 1));
  WriteBytes(scratch.File("card.txt"), Pattern(kPage, 1));
  WriteBytes(scratch.File("big.bin"), Pattern(kPage * 2, 1));
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
    const Result opened = card.OpenImage(scratch.File(image.name), ImageAccess::Write);
    EXPECT_FALSE(opened) << image.name;
    EXPECT_NE(opened.Message().find(image.name), std::string::npos) << opened.Message();
    EXPECT_NE(opened.Message().find(image.reason), std::string::npos) << opened.Message();
  }
  EXPECT_TRUE(CardMemory(card) == before);
  EXPECT_EQ(card.GetSelectedPage(), 1u);

  // The image opened before still takes the writes.
  ASSERT_TRUE(sim.Link().SelectPage(0));
  const Bytes unit = Pattern(128, 77);
  ASSERT_TRUE(sim.Link().Write(0, unit.data(), 128, false));
  EXPECT_EQ(0, std::memcmp(ReadBytes(good).data(), unit.data(), 128));
}

TEST(CardImageFile, OneWriterOrManyReadersHoldAnImage) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("card.bin");
  WriteBytes(path, Pattern(kPage, 5));
  const std::string inUse = "The card image " + path + " is in use by another program.";
  {
    CSimulatedCard writer, other;
    ASSERT_TRUE(Succeeded(writer.OpenImage(path, ImageAccess::Write)));
    EXPECT_EQ(other.OpenImage(path, ImageAccess::Write).Message(), inUse);
    EXPECT_EQ(other.OpenImage(path, ImageAccess::Read).Message(), inUse);
  }
  CSimulatedCard reader, another, writer;
  ASSERT_TRUE(Succeeded(reader.OpenImage(path, ImageAccess::Read)));
  EXPECT_TRUE(Succeeded(another.OpenImage(path, ImageAccess::Read)));
  EXPECT_EQ(writer.OpenImage(path, ImageAccess::WriteIfAllowed).Message(), inUse);
  EXPECT_EQ(reader.CheckPageNumber(2).Message(), "This card image holds one page.");
}

namespace {
int Refused(int error) {
  errno = error;
  return -1;
}
int LockTaken(int, int) {
  return Refused(EWOULDBLOCK);
}
int NoLocks(int, int) {
  return Refused(ENOLCK);
}
int StatusLost(int, struct stat*) {
  return Refused(EIO);
}
std::int64_t NoSeek(int, std::int64_t, int) {
  return Refused(ESPIPE);
}
}  // namespace

// A lock that is taken refuses the image; a file system without locks does
// without them; the other calls' failures name the image and the reason.
TEST(CardImageFile, FailedSystemCallsShowTheImagesMessage) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("card.dcm");
  const Bytes before = Pattern(kPage, 3);
  WriteBytes(path, before);
  Bytes pages;
  FileCalls calls = RealFileCalls();
  calls.flock = LockTaken;
  EXPECT_EQ(CCardImageFile(calls).Open(path, ImageAccess::Write, pages).Message(),
            "The card image " + path + " is in use by another program.");
  calls.flock = NoLocks;
  EXPECT_TRUE(Succeeded(CCardImageFile(calls).Open(path, ImageAccess::Write, pages)));
  calls = RealFileCalls();
  calls.fstat = StatusLost;
  EXPECT_EQ(CCardImageFile(calls).Open(path, ImageAccess::Read, pages).Message(),
            path + " cannot be opened: Input/output error.");

  calls = RealFileCalls();
  calls.lseek = NoSeek;
  CCardImageFile image(calls);
  ASSERT_TRUE(Succeeded(image.Open(path, ImageAccess::Write, pages)));
  const Bytes unit = Pattern(128, 9);
  EXPECT_EQ(image.WritePageBytes(0, 512, unit.data(), 128).Message(),
            path + " could not be written: Illegal seek.");
  EXPECT_EQ(ReadBytes(path), before);
}
