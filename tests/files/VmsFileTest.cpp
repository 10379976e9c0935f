#include <filesystem>

#include "FileCommandTest.h"
#include "RealData.h"
#include "VmsFile.h"

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
  // A pair the tests make: a 2-block data file, its VMI as a download writes it.
  void WritePair(const std::string& stem, Bytes vmiChanges = {}, std::size_t vmsSize = 1024) {
    const CVmuDirEntry entry = Entry(CVmuDirEntry::kData, "MADE.SAVE", 0, 2);
    CVmsFile::Vmi vmi = CVmsFile::Describe(entry, Blocks(2), stem);
    for (std::size_t i = 0; i + 1 < vmiChanges.size(); i += 2)
      vmi[vmiChanges[i]] = vmiChanges[i + 1];
    WriteBytes(scratch_.File(stem + ".VMI"), Bytes(vmi.begin(), vmi.end()));
    const Bytes blocks = Blocks(2);
    WriteBytes(scratch_.File(stem + ".VMS"), Bytes(blocks.begin(), blocks.begin() + vmsSize));
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
      {"size not whole blocks", {0x68, 0x01}, 1024, "not a whole number of blocks"},
      {"size zero", {0x69, 0x00}, 1024, "not a whole number of blocks"},
      {"more than 200 blocks", {0x6A, 0x02}, 1024, "not a whole number of blocks"},
      {"VMS too short", {}, 1023, "shorter than the 1024 bytes"},
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
