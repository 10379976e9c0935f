#include <png.h>

#include "CliFixture.h"
#include "PublicIconData.h"

namespace {
using ::testing::HasSubstr;

// Colours the card keeps exactly (4 bits a channel): two dark, two light, a
// transparent one and a half-transparent one, which is never dark.
constexpr std::uint32_t kColours[] = {0xFF112233, 0xFF000088, 0xFFEEEEDD,
                                      0xFFFFFF00, 0x00000000, 0x7744CC88};

std::uint32_t Source(std::size_t i) {
  const std::size_t x = i % 32, y = i / 32;
  return kColours[(x + 2 * y + x * y % 5) % 6];
}

bool IsDark(std::uint32_t argb) {
  return argb == kColours[0] || argb == kColours[1];
}

class SetIconCommand : public CommandLine {
 protected:
  SetIconCommand() {
    EXPECT_EQ(Run({"new-image", image_}), 0);
    std::vector<std::uint8_t> argb;
    for (std::size_t i = 0; i < 1024; ++i)
      for (int shift = 24; shift >= 0; shift -= 8)
        argb.push_back(static_cast<std::uint8_t>(Source(i) >> shift));
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png.height = 32;
    png.format = PNG_FORMAT_ARGB;
    EXPECT_NE(png_image_write_to_file(&png, picture_.c_str(), 0, argb.data(), 0, nullptr), 0);
  }

  std::vector<std::uint8_t> IconFile() {
    CPageImage page;
    const std::vector<std::uint8_t> bytes = ReadBytes(image_);
    std::memcpy(page.GetData(), bytes.data(), std::min<std::size_t>(bytes.size(), 131072));
    return FileBytesOnPage(page, "ICONDATA_VMS");
  }

  std::vector<std::uint32_t> Exported() {
    const std::string png = scratch_.File("exported.png");
    std::filesystem::remove(png);
    EXPECT_EQ(Run({"--image", image_, "export-icon", "0", png}), 0) << err_.str();
    unsigned width = 0;
    std::vector<std::uint32_t> pixels = PngPixels(png, width);
    EXPECT_EQ(width, 32u);
    return pixels;
  }

  const std::string image_ = scratch_.File("card.bin");
  const std::string picture_ = scratch_.File("Arcade Picture.png");
};
}  // namespace

TEST_F(SetIconCommand, MakesTheIconFileTheCardReadsAndExportsItPixelForPixel) {
  ASSERT_EQ(Run({"--image", image_, "set-icon", picture_, "--description", "Test Icon"}), 0)
      << err_.str();
  const std::vector<std::uint8_t> file = IconFile();
  ASSERT_EQ(file.size(), 1024u);
  const PublicIconData icon = ReadPublicIconData(file);
  EXPECT_EQ(icon.description, "Test Icon       ");
  ASSERT_NE(icon.colourOffset, 0u);
  ASSERT_LE(icon.colourOffset + 544, file.size());
  ASSERT_LE(icon.monoOffset + 128, file.size());
  std::size_t wrongColours = 0, wrongBits = 0, wrongExports = 0;
  const std::vector<std::uint32_t> exported = Exported();
  ASSERT_EQ(exported.size(), 1024u);
  for (std::size_t i = 0; i < 1024; ++i) {
    wrongColours += icon.argb[i] != Source(i);
    wrongBits += icon.dark[i] != IsDark(Source(i));
    wrongExports += exported[i] != icon.argb[i];
  }
  EXPECT_EQ(wrongColours, 0u);
  EXPECT_EQ(wrongBits, 0u);
  EXPECT_EQ(wrongExports, 0u);

  ASSERT_EQ(Run({"--image", image_, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("ICONDATA_VMS\tTest Icon"));
}

TEST_F(SetIconCommand, ReplacesOnlyWithReplaceAndChangesNothingForBadInput) {
  ASSERT_EQ(Run({"--image", image_, "set-icon", picture_}), 0) << err_.str();
  EXPECT_EQ(ReadPublicIconData(IconFile()).description, "Arcade Picture  ");
  const std::vector<std::uint8_t> before = ReadBytes(image_);
  EXPECT_EQ(Run({"--image", image_, "set-icon", picture_}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("--replace"));
  WriteBytes(scratch_.File("text.png"), {'n', 'o', 't', '\n'});
  EXPECT_EQ(Run({"--image", image_, "set-icon", scratch_.File("text.png"), "--replace"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("could not be read"));
  for (const char* description : {"Seventeen letters", "Caf\xC3\xA9"}) {
    EXPECT_EQ(
        Run({"--image", image_, "set-icon", picture_, "--replace", "--description", description}),
        1);
  }
  EXPECT_EQ(ReadBytes(image_), before);

  // One block, no colour icon: the monochrome one is what shows and exports.
  ASSERT_EQ(Run({"--image", image_, "set-icon", picture_, "--mono-only", "--replace"}), 0);
  const std::vector<std::uint8_t> file = IconFile();
  EXPECT_EQ(file.size(), 512u);
  const PublicIconData icon = ReadPublicIconData(file);
  EXPECT_EQ(icon.colourOffset, 0u);
  const std::vector<std::uint32_t> exported = Exported();
  ASSERT_EQ(exported.size(), 1024u);
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < 1024; ++i)
    wrong += icon.dark[i] != IsDark(Source(i)) ||
             exported[i] != (icon.dark[i] ? 0xFF000000u : 0xFFFFFFFFu);
  EXPECT_EQ(wrong, 0u);
}
