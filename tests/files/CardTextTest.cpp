#include "CardText.h"

#include <gtest/gtest.h>

namespace {
FileTexts Texts(const std::string& shortText, const std::string& longText) {
  FileTexts texts;
  texts.Text(FileColumn::FileName) = "SAVE\\~.001";
  texts.Text(FileColumn::ShortDescription) = shortText;
  texts.Text(FileColumn::LongDescription) = longText;
  texts.Text(FileColumn::Size) = "2 Blocks";
  return texts;
}

// Half-width katakana (one byte each) and two kanji (two bytes each).
const std::string kKatakana = "\xd2\xb2\xdd";
const std::string kKanji = "\x94\xc1\x94\xb5";
}  // namespace

TEST(CardText, AutomaticReadsAFileWithKanjiAsShiftJisAndAnyOtherAsLatin1) {
  const FileTexts japanese = DecodeFileTexts(Texts(kKatakana, kKanji), TextEncoding::Automatic);
  EXPECT_EQ(japanese.Text(FileColumn::ShortDescription), "\uff92\uff72\uff9d");
  EXPECT_EQ(japanese.Text(FileColumn::LongDescription), "\u6591\u9ce9");
  EXPECT_EQ(japanese.Text(FileColumn::FileName), "SAVE\\~.001");  // ASCII stays ASCII
  EXPECT_EQ(japanese.Text(FileColumn::Size), "2 Blocks");

  // A run of half-width katakana is Japanese enough; two Latin-1 capitals are not.
  auto automatic = [](const std::string& shortText) {
    return DecodeFileTexts(Texts(shortText, ""), TextEncoding::Automatic)
        .Text(FileColumn::ShortDescription);
  };
  EXPECT_EQ(automatic(kKatakana), "\uff92\uff72\uff9d");
  EXPECT_EQ(automatic("\xc0\xc9"), "\u00c0\u00c9");
  // 0xE9 0x6D is a valid kanji, but "Pok\xe9mon" is Western.
  EXPECT_EQ(automatic("Pok\xe9mon"), "Pok\u00e9mon");
  // An 0xE9 with no second byte is no Shift-JIS: the whole file stays Western.
  const FileTexts western = DecodeFileTexts(Texts("Caf\xe9", kKanji), TextEncoding::Automatic);
  EXPECT_EQ(western.Text(FileColumn::ShortDescription), "Caf\u00e9");
  EXPECT_EQ(western.Text(FileColumn::LongDescription), "\u0094\u00c1\u0094\u00b5");
}

TEST(CardText, AChosenEncodingWinsWhereTheBytesAllowIt) {
  EXPECT_EQ(DecodeFileTexts(Texts(kKatakana, kKanji), TextEncoding::Western)
                .Text(FileColumn::LongDescription),
            "\u0094\u00c1\u0094\u00b5");
  const FileTexts japanese = DecodeFileTexts(Texts(kKatakana, "Caf\xe9"), TextEncoding::Japanese);
  EXPECT_EQ(japanese.Text(FileColumn::ShortDescription), "\uff92\uff72\uff9d");
  EXPECT_EQ(japanese.Text(FileColumn::LongDescription), "Caf\u00e9");  // not Shift-JIS

  TextEncoding encoding = TextEncoding::Automatic;
  EXPECT_TRUE(EncodingFromName("sjis", encoding));
  EXPECT_EQ(encoding, TextEncoding::Japanese);
  EXPECT_FALSE(EncodingFromName("utf8", encoding));
}

// One conversion serves every text: one that fails half-way, on a lead byte
// at the end or a byte no Shift-JIS has, leaves nothing behind for the next.
TEST(CardText, AFailedShiftJisTextLeavesTheNextOneWhole) {
  std::string utf8 = "kept";
  for (const std::string& bad : {kKanji + "\x94", kKanji + "\xa0\x80" + kKanji}) {
    EXPECT_FALSE(DecodeShiftJis(bad, utf8));
    EXPECT_EQ(utf8, "kept");
    ASSERT_TRUE(DecodeShiftJis(kKatakana + kKanji, utf8));
    EXPECT_EQ(utf8, "\uff92\uff72\uff9d\u6591\u9ce9");
    utf8 = "kept";
  }
}
