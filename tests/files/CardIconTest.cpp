#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <filesystem>

#include "CardIcon.h"
#include "FileCommandTest.h"
#include "IconDataFile.h"
#include "IconImageFile.h"
#include "PublicIconData.h"
#include "RealData.h"

namespace {

// A header block with a two-frame icon: palette 0 transparent, 1 opaque
// blue, 2 half-transparent orange; frame 0 starts 1 2 and ends 2 1, frame 1
// is colour 0 throughout.
Bytes IconFile() {
  Bytes bytes(3 * 512, 0);
  bytes[0x40] = 2;   // frames
  bytes[0x42] = 12;  // speed
  card_format::PutLe16(&bytes[0x60 + 2], 0xF00F);
  card_format::PutLe16(&bytes[0x60 + 4], 0x8F84);
  bytes[0x80] = 0x12;
  bytes[0x80 + 511] = 0x21;
  return bytes;
}

std::string Text(const Bytes& bytes, std::size_t size) {
  return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

class CardIconTest : public FileCommandTest {
 protected:
  std::size_t BlockReads() {
    const Words transfers = sim_.TakeTransfers();
    return static_cast<std::size_t>(std::count_if(
        transfers.begin(), transfers.end(), [](const std::string& w) { return w[0] == 'R'; }));
  }
};

}  // namespace

TEST(CardIcon, DecodesPaletteAndFramesToTheExactPixels) {
  CardIcon icon;
  ASSERT_TRUE(DecodeIcon(Text(IconFile(), 0x80 + 2 * 512), 3, icon));
  ASSERT_EQ(icon.frames.size(), 2u);
  EXPECT_EQ(icon.speed, 12);
  EXPECT_EQ(icon.Argb(icon.frames[0], 0, 0), 0xFF0000FFu);
  EXPECT_EQ(icon.Argb(icon.frames[0], 1, 0), 0x88FF8844u);
  EXPECT_EQ(icon.Argb(icon.frames[0], 30, 31), 0x88FF8844u);
  EXPECT_EQ(icon.Argb(icon.frames[0], 31, 31), 0xFF0000FFu);
  EXPECT_EQ(icon.Argb(icon.frames[1], 0, 0), 0u);

  // Only whole frames count; no frame count, or more than three, is no icon.
  ASSERT_TRUE(DecodeIcon(Text(IconFile(), 0x80 + 512 + 511), 3, icon));
  EXPECT_EQ(icon.frames.size(), 1u);
  EXPECT_FALSE(DecodeIcon(Text(IconFile(), 512), 1, icon));
  for (const std::uint8_t frames : {std::uint8_t{0}, std::uint8_t{4}}) {
    Bytes header = IconFile();
    header[0x40] = frames;
    EXPECT_FALSE(DecodeIcon(Text(header, header.size()), 3, icon)) << int{frames};
  }
}

TEST_F(CardIconTest, TheListingReadsTheFirstFramesRestOnlyWhenAskedAndOnlyForIcons) {
  Place(0, Entry(CVmuDirEntry::kData, "ICON", 199, 3), IconFile());
  Place(1, Entry(CVmuDirEntry::kData, "PLAIN", 150, 2), Bytes(1024, 0));
  Load();
  FileListing plain, icons;
  ASSERT_EQ(RefreshList(sim_.Card(), progress_, user_, plain), CommandResult::Done);
  const std::size_t without = BlockReads();
  ASSERT_EQ(RefreshList(sim_.Card(), progress_, user_, icons, RowSink(), true),
            CommandResult::Done);
  EXPECT_EQ(BlockReads(), without + 1);
  EXPECT_EQ(plain.rows[0].headerBytes.size(), 512u);
  EXPECT_EQ(icons.rows[0].headerBytes, Text(IconFile(), 0x80 + 512));
  EXPECT_EQ(icons.rows[1].headerBytes.size(), 512u);
}

TEST_F(CardIconTest, ARealSavesIconExportsAsPngAndAnimatedGif) {
  KORVANTIS_NEED_REALDATA("vms/IKARUGA.VMI");
  const std::string vmi = RealData("vms/IKARUGA.VMI");
  Load();
  ASSERT_EQ(UploadFile(sim_.Card(), vmi, progress_, user_), CommandResult::Done);

  const std::string png = scratch_.File("icon.png");
  ASSERT_EQ(ExportIcon(sim_.Card(), 0, png, user_), CommandResult::Done);
  const Bytes bytes = ReadBytes(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(Text(bytes, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 24),
            (Bytes{0, 0, 0, 96, 0, 0, 0, 32}));  // three frames side by side

  const std::string gif = scratch_.File("icon.GIF");
  ASSERT_EQ(ExportIcon(sim_.Card(), 0, gif, user_), CommandResult::Done);
  int error = 0;
  GifFileType* read = DGifOpenFileName(gif.c_str(), &error);
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(DGifSlurp(read), GIF_OK);
  EXPECT_EQ(read->ImageCount, 3);
  EXPECT_EQ(read->SWidth, 32);
  EXPECT_EQ(read->SHeight, 32);
  DGifCloseFile(read, &error);

  EXPECT_EQ(ExportIcon(sim_.Card(), 0, scratch_.File("icon.bmp"), user_), CommandResult::Failed);
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("icon.bmp")));
}

// Straight alpha, channel order and frame order all show in the pixels read
// back: the half-transparent orange must not come back premultiplied.
TEST_F(CardIconTest, APngHoldsEveryFrameSideBySideInItsExactColours) {
  CardIcon icon;
  ASSERT_TRUE(DecodeIcon(Text(IconFile(), 0x80 + 2 * 512), 3, icon));
  const std::string path = scratch_.File("icon.png");
  ASSERT_TRUE(WriteIconImage(path, icon));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_ARGB;
  ASSERT_EQ(image.width, 64u);
  ASSERT_EQ(image.height, 32u);
  Bytes pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  std::size_t wrong = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      const std::uint8_t* p = &pixels[static_cast<std::size_t>(y * 64 + x) * 4];
      const std::uint32_t argb = std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
      wrong += argb != icon.Argb(icon.frames[static_cast<std::size_t>(x / 32)], x % 32, y);
    }
  }
  EXPECT_EQ(wrong, 0u);
}

// The card counts the speed in sixtieths of a second, GIF its delay in
// hundredths within 16 bits: a slow animation stops at the longest delay.
TEST_F(CardIconTest, AGifFramesDelayStopsAtTheFormatsLongest) {
  const std::pair<std::uint16_t, int> speeds[] = {
      {12, 20}, {39321, 65535}, {39322, 65535}, {65535, 65535}};
  for (const auto& [speed, delay] : speeds) {
    CardIcon icon;
    Bytes header = IconFile();
    card_format::PutLe16(&header[0x42], speed);
    ASSERT_TRUE(DecodeIcon(Text(header, header.size()), 3, icon));
    const std::string gif = scratch_.File("slow.gif");
    ASSERT_TRUE(WriteIconImage(gif, icon));
    int error = 0;
    GifFileType* read = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(DGifSlurp(read), GIF_OK);
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(read, 1, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, delay) << speed;
    DGifCloseFile(read, &error);
  }
}

// A real card's icon file: its description, and the colour icon its offsets
// place past the first block, in the list and exported, as the public
// description of the file reads them. Only a data file of that name whose
// icons lie inside it is read so.
TEST_F(CardIconTest, TheCardsIconFileShowsTheIconItsOffsetsPlace) {
  KORVANTIS_NEED_REALDATA("images/ReadFiles_01.vmu");
  const Bytes image = ReadBytes(RealData("images/ReadFiles_01.vmu"));
  std::copy(image.begin(), image.end(), page_.GetData());
  Load();
  const Bytes file = FileBytesOnPage(page_, "ICONDATA_VMS");
  const PublicIconData expected = ReadPublicIconData(file);
  ASSERT_GT(expected.colourOffset + 544, 512u);  // its colour icon runs into the second block

  FileListing listing;
  ASSERT_EQ(RefreshList(sim_.Card(), progress_, user_, listing, RowSink(), true),
            CommandResult::Done);
  const auto row = std::find_if(listing.rows.begin(), listing.rows.end(), [](const FileTexts& r) {
    return r.Text(FileColumn::FileName) == "ICONDATA_VMS";
  });
  ASSERT_NE(row, listing.rows.end());
  EXPECT_EQ(row->Text(FileColumn::ShortDescription), expected.description);
  EXPECT_EQ(row->Text(FileColumn::LongDescription) + row->Text(FileColumn::Application), "");
  CardIcon listed;
  ASSERT_TRUE(DecodeRowIcon(*row, listed));
  const std::string png = scratch_.File("card.png");
  ASSERT_EQ(ExportIcon(sim_.Card(), row->index, png, user_), CommandResult::Done);
  unsigned width = 0;
  const std::vector<std::uint32_t> exported = PngPixels(png, width);
  ASSERT_EQ(exported.size(), 1024u);
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < 1024; ++i) {
    const std::uint32_t shown =
        listed.Argb(listed.frames[0], static_cast<int>(i % 32), static_cast<int>(i / 32));
    wrong += shown != expected.argb[i] || exported[i] != expected.argb[i];
  }
  EXPECT_EQ(wrong, 0u);

  CVmuDirEntry entry;
  entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(row->entryBytes.data()));
  const auto laidOut = [&entry](Bytes bytes) {
    IconDataLayout layout;
    return ReadIconDataLayout(entry, std::string(bytes.begin(), bytes.end()), layout);
  };
  EXPECT_TRUE(laidOut(file));
  Bytes outside = file;
  outside[0x15] = 0x02;  // the colour icon at 0x2A0 would end past the file's 1024 bytes
  EXPECT_FALSE(laidOut(outside));
  entry.SetType(CVmuDirEntry::kGame);
  EXPECT_FALSE(laidOut(file));
}
