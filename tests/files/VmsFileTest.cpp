#include <filesystem>
#include <utility>

#include "FileCommandTest.h"
#include "RealData.h"
#include "VmsFile.h"
#include "VmuTimestamp.h"

namespace {

class VmsFileTest : public FileCommandTest {
 protected:
  VmsFileTest() { Load(); }

  void FreshPage() {
    page_ = CPageImage::Formatted();
    Load();
  }

  CommandResult Upload(const std::string& path) {
    user_.AnswerNextChoice(path);
    return UploadFile(sim_.Card(), progress_, user_);
  }
  Bytes Card() {
    const CPageImage page = sim_.ReadPage();
    return Bytes(page.GetData(), page.GetData() + card_format::kPageSize);
  }
  // A pair the tests make: a 2-block data file, its VMI as a download writes
  // it but for the changes (offset, byte, offset, byte...), and the first
  // vmsSize bytes of Blocks(200) as its VMS.
  void WritePair(const std::string& stem, Bytes vmiChanges = {}, std::size_t vmsSize = 1024) {
    const CVmuDirEntry entry = Entry(CVmuDirEntry::kData, "MADE.SAVE", 0, 2);
    CVmsFile::Vmi vmi = CVmsFile::Describe(entry, Blocks(2), stem);
    for (std::size_t i = 0; i + 1 < vmiChanges.size(); i += 2)
      vmi[vmiChanges[i]] = vmiChanges[i + 1];
    WriteBytes(scratch_.File(stem + ".VMI"), Bytes(vmi.begin(), vmi.end()));
    const Bytes blocks = Blocks(200);
    WriteBytes(scratch_.File(stem + ".VMS"), Bytes(blocks.begin(), blocks.begin() + vmsSize));
  }
  // The date, and the blocks along the chain, of the card's file of that name.
  Bytes Stamp(const std::string& name) {
    const Bytes entry = FindFile(sim_.ReadPage(), name).entry;
    return entry.empty() ? Bytes() : Bytes(entry.begin() + 16, entry.begin() + 24);
  }
  Bytes Data(const std::string& name) {
    CPageImage page = sim_.ReadPage();
    Bytes data;
    for (const std::uint16_t block : FindFile(page, name).chain)
      data.insert(data.end(), page.GetBlock(block), page.GetBlock(block) + 512);
    return data;
  }
};

std::string RealPair(const char* name) {
  return RealData(std::string("vms/") + name);
}

}  // namespace

TEST_F(VmsFileTest, RealPairsTravelThroughTheCardUnchanged) {
  KORVANTIS_NEED_REALDATA("vms/KISSPC.VMI");
  struct Pair {
    const char* vmi;
    const char* vms;
    bool checksumOfItsName;  // the checksum of the renamed one is its old name's
  };
  const Pair pairs[] = {{"IKARUGA.VMI", "IKARUGA.VMS", true},
                        {"KISSPC.VMI", "KISSPC.VMS", true},
                        {"v93102.vmi", "v93102.VMS", false}};
  for (const Pair& pair : pairs) {
    FreshPage();
    // Named by its VMI, or by its VMS with the VMI beside.
    ASSERT_EQ(Upload(RealPair(pair.vmi)), CommandResult::Done) << pair.vmi;
    const std::string out = scratch_.File(pair.vms);
    ASSERT_EQ(DownloadFile(sim_.Card(), 0, out, progress_, user_), CommandResult::Done);
    EXPECT_EQ(ReadBytes(out), ReadBytes(RealPair(pair.vms))) << pair.vms;

    // Description, copyright and version live on no card.
    const Bytes original = ReadBytes(RealPair(pair.vmi));
    const Bytes back = ReadBytes(CVmsFile::Companion(out));
    ASSERT_EQ(back.size(), 108u);
    for (std::size_t i = pair.checksumOfItsName ? 0 : 4; i < 108; ++i) {
      if (i >= 0x04 && i < 0x44) continue;
      if (i == 0x4C || i == 0x4D) continue;
      EXPECT_EQ(back[i], original[i]) << pair.vmi << " byte " << i;
    }

    // A DCI of the same file carries the same blocks.
    const std::string dci = scratch_.File("same.dci");
    ASSERT_EQ(DownloadFile(sim_.Card(), 0, dci, progress_, user_), CommandResult::Done);
    Bytes blocks = ReadBytes(dci);
    blocks.erase(blocks.begin(), blocks.begin() + 32);
    card_format::ReverseGroups(blocks.data(), blocks.size());
    EXPECT_EQ(blocks, ReadBytes(out));
  }
  EXPECT_TRUE(user_.messages.empty()) << user_.messages.front();
}

TEST_F(VmsFileTest, EveryRefusalLeavesTheCardAsItWas) {
  const Bytes before = Card();
  struct Case {
    const char* what;
    Bytes vmiChanges;
    std::size_t vmsSize;
    const char* message;
  };
  const Case cases[] = {
      {"checksum", {0x00, 0xFF}, 1024, "checksum"},
      {"size zero", {0x69, 0x00}, 1024, "size, 0 bytes, is not from 1 byte to 200 blocks"},
      {"a byte over 200 blocks", {0x68, 0x01, 0x69, 0x90, 0x6A, 0x01}, 1024, "102401 bytes"},
      {"VMS too short", {}, 1023, "shorter than the 1024 bytes"},
      {"VMS short of a partial block", {0x68, 0xA1, 0x69, 0x0C}, 3232, "the 3233 bytes"},
  };
  for (const Case& each : cases) {
    user_.messages.clear();
    WritePair("CASE", each.vmiChanges, each.vmsSize);
    EXPECT_EQ(Upload(scratch_.File("CASE.VMI")), CommandResult::Failed) << each.what;
    ASSERT_EQ(user_.messages.size(), 1u) << each.what;
    EXPECT_NE(user_.messages[0].find(each.message), std::string::npos) << user_.messages[0];
  }

  WriteBytes(scratch_.File("SHORT.VMI"), Bytes(107, 0));
  EXPECT_EQ(Upload(scratch_.File("SHORT.VMI")), CommandResult::Failed);
  WritePair("GONE");
  std::filesystem::remove(scratch_.File("GONE.VMS"));
  EXPECT_EQ(Upload(scratch_.File("GONE.VMI")), CommandResult::Failed);
  EXPECT_NE(user_.messages.back().find("GONE.VMS could not be read"), std::string::npos);

  // A VMS alone is asked about; No writes nothing. A missing one is not asked about.
  WriteBytes(scratch_.File("lonely.vms"), Blocks(1));
  user_.AnswerNextQuestion(false);
  EXPECT_EQ(Upload(scratch_.File("lonely.vms")), CommandResult::Failed);
  EXPECT_NE(user_.messages.back().find("has no VMI file beside it"), std::string::npos);
  EXPECT_EQ(Upload(scratch_.File("missing.vms")), CommandResult::Failed);
  EXPECT_EQ(user_.questions.size(), 1u);
  WriteBytes(scratch_.File("huge.vms"), Bytes(102401, 1));
  user_.AnswerNextQuestion(true);
  EXPECT_EQ(Upload(scratch_.File("huge.vms")), CommandResult::Failed);
  EXPECT_NE(user_.messages.back().find("102401 bytes"), std::string::npos);
  EXPECT_EQ(Card(), before);
}

TEST_F(VmsFileTest, AVmsAloneBecomesADataFileNamedAfterIt) {
  WriteBytes(scratch_.File("lonely.vms"), Blocks(1));
  user_.AnswerNextQuestion(true);
  ASSERT_EQ(Upload(scratch_.File("lonely.vms")), CommandResult::Done) << user_.messages.front();
  EXPECT_EQ(user_.questions.size(), 1u);
  const PageFile file = FindFile(sim_.ReadPage(), "lonely");
  EXPECT_EQ(file.entry[card_format::kEntryType], CVmuDirEntry::kData);
  EXPECT_EQ(file.entry[24], 1);
  ExpectConsistent();
}

// Programs are spread as VMS files as long as the program; the card takes
// them in whole blocks, the last filled up with zero bytes, and the VMI's
// size says where the file ends.
TEST_F(VmsFileTest, AVmsOfAnyLengthTakesWholeBlocksFilledUpWithZeroBytes) {
  struct Case {
    const char* what;
    Bytes vmiChanges;
    std::size_t vmsSize, fileSize, blocks;
  };
  const Case cases[] = {
      {"a 3,233-byte data file, more bytes behind it", {0x68, 0xA1, 0x69, 0x0C}, 3300, 3233, 7},
      {"an 18,274-byte game", {0x64, 0x02, 0x68, 0x62, 0x69, 0x47}, 18274, 18274, 36},
  };
  for (const Case& each : cases) {
    FreshPage();
    WritePair("PROGRAM", each.vmiChanges, each.vmsSize);
    ASSERT_EQ(Upload(scratch_.File("PROGRAM.VMI")), CommandResult::Done) << each.what;
    const PageFile file = FindFile(sim_.ReadPage(), "MADE.SAVE");
    EXPECT_EQ(file.entry[24], each.blocks) << each.what;
    Bytes want = Blocks(200);
    want.resize(each.fileSize);
    want.resize(each.blocks * 512, 0);
    EXPECT_EQ(Data("MADE.SAVE"), want) << each.what;
    ExpectConsistent();

    // Back as whole blocks, which the VMI gives as its size.
    const std::string out = scratch_.File("back.vms");
    ASSERT_EQ(DownloadFile(sim_.Card(), 0, out, progress_, user_), CommandResult::Done);
    EXPECT_EQ(ReadBytes(out), want);
    EXPECT_EQ(card_format::GetLe32(ReadBytes(scratch_.File("back.vmi")).data() + 0x68),
              each.blocks * 512);
  }

  FreshPage();
  WriteBytes(scratch_.File("alone.vms"), Bytes(3233, 0xAB));
  user_.AnswerNextQuestion(true);
  ASSERT_EQ(Upload(scratch_.File("alone.vms")), CommandResult::Done);
  Bytes want(3233, 0xAB);
  want.resize(7 * 512, 0);
  EXPECT_EQ(Data("alone"), want);
  EXPECT_TRUE(user_.messages.empty()) << user_.messages.front();
}

// 2026-12-07 is a Monday: 0 on the card, 1 in a VMI; 2026-12-06, a Sunday,
// is 6 and 0. A weekday the card holds past 6 goes out as the date's own.
TEST_F(VmsFileTest, TheCardCountsTheWeekdayFromMondayAndAVmiFromSunday) {
  const Bytes monday = {0x20, 0x26, 0x12, 0x07, 0x09, 0x30, 0x00, 0x00};
  const Bytes sunday = {0x20, 0x26, 0x12, 0x06, 0x09, 0x30, 0x00, 0x06};
  const Bytes noDay = {0x20, 0x26, 0x12, 0x09, 0x09, 0x30, 0x00, 0xFF};  // a Wednesday
  const std::pair<Bytes, int> downloads[] = {{monday, 1}, {sunday, 0}, {noDay, 3}};
  for (const auto& [stamp, vmiDay] : downloads) {
    CVmuDirEntry entry = Entry(CVmuDirEntry::kData, "DAY", 199, 1);
    std::copy(stamp.begin(), stamp.end(), entry.GetData() + 16);
    page_ = CPageImage::Formatted();
    Place(0, entry, Blocks(1));
    Load();
    ASSERT_EQ(DownloadFile(sim_.Card(), 0, scratch_.File("DAY.vms"), progress_, user_),
              CommandResult::Done);
    const Bytes vmi = ReadBytes(scratch_.File("DAY.vmi"));
    EXPECT_EQ(Bytes(vmi.begin() + 0x44, vmi.begin() + 0x4C),
              (Bytes{0xEA, 0x07, 12, stamp[3], 9, 30, 0, static_cast<std::uint8_t>(vmiDay)}));
  }

  const std::pair<std::uint8_t, Bytes> uploads[] = {{1, monday}, {0, sunday}};
  for (const auto& [vmiDay, stamp] : uploads) {
    FreshPage();
    WritePair("DAY", {0x44, 0xEA, 0x45, 0x07, 0x46, 12, 0x47, stamp[3], 0x48, 9, 0x49, 30, 0x4A, 0,
                      0x4B, vmiDay});
    ASSERT_EQ(Upload(scratch_.File("DAY.VMI")), CommandResult::Done);
    EXPECT_EQ(Stamp("MADE.SAVE"), stamp) << int{vmiDay};
  }
  EXPECT_TRUE(user_.messages.empty()) << user_.messages.front();
}

// Some tools wrote the card's own BCD stamp into the VMI; a date that is
// none either way gives way to the upload's time, and the user is told.
TEST_F(VmsFileTest, AVmiDatedInBcdIsReadSoAndOneWithNoDateIsDatedNow) {
  const Bytes bcd = {0x20, 0x00, 0x05, 0x21, 0x14, 0x48, 0x57, 0x06};  // 2000-05-21, a Sunday
  Bytes changes;
  for (std::uint8_t i = 0; i < 8; ++i)
    changes.insert(changes.end(), {static_cast<std::uint8_t>(0x44 + i), bcd[i]});
  WritePair("OLD", changes);
  ASSERT_EQ(Upload(scratch_.File("OLD.VMI")), CommandResult::Done);
  EXPECT_EQ(Stamp("MADE.SAVE"), bcd);
  EXPECT_TRUE(user_.messages.empty()) << user_.messages.front();

  FreshPage();
  WritePair("NODATE", {0x46, 0x1A, 0x4B, 7});  // month 26 (no BCD either), weekday 7
  const auto now = [] {  // BCD from the century down, so ordered as the bytes are
    const CVmuTimestamp stamp = CVmuTimestamp::Now();
    return Bytes(stamp.GetData(), stamp.GetData() + 7);
  };
  const Bytes before = now();
  ASSERT_EQ(Upload(scratch_.File("NODATE.VMI")), CommandResult::Done);
  const Bytes after = now();
  Bytes stamp = Stamp("MADE.SAVE");
  ASSERT_EQ(stamp.size(), 8u);
  stamp.pop_back();
  EXPECT_TRUE(stamp >= before && stamp <= after);
  EXPECT_EQ(user_.messages, Words{scratch_.File("NODATE.VMI") +
                                  " was uploaded dated now: its VMI file gives no date a file "
                                  "can have."});
}

// A VMI holds 8 bytes of its VMS file's name: a longer name is cut and the
// user told; the VMI's upload still finds the VMS of its own name first.
TEST_F(VmsFileTest, AVmsNamedLongerThanItsVmiHoldsIsFoundByTheVmisOwnName) {
  Place(0, Entry(CVmuDirEntry::kData, "LONG", 199, 2), Blocks(2, 7));
  Load();
  const std::string vms = scratch_.File("LONGNAMEDSAVE.vms");
  ASSERT_EQ(DownloadFile(sim_.Card(), 0, vms, progress_, user_), CommandResult::Done);
  const Bytes vmi = ReadBytes(scratch_.File("LONGNAMEDSAVE.vmi"));
  EXPECT_EQ(std::string(vmi.begin() + 0x50, vmi.begin() + 0x58), "LONGNAME");
  EXPECT_EQ(user_.messages, Words{"The VMI file saved with " + vms +
                                  " names its VMS file \"LONGNAME\": a VMI file holds only 8 "
                                  "characters of the VMS file's name."});

  WriteBytes(scratch_.File("LONGNAME.VMS"), Blocks(2, 99));  // what the VMI names, but another
  FreshPage();
  ASSERT_EQ(Upload(scratch_.File("LONGNAMEDSAVE.vmi")), CommandResult::Done);
  EXPECT_EQ(Data("LONG"), Blocks(2, 7));
}
