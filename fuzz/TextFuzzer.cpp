// The input is text bytes as a card holds them: the whole input as one text,
// and its first 76 bytes as a file's four texts (name 12, short description
// 16, long 32, application 16, each up to a zero byte, as a listing reads
// them). Besides crashes, the target checks that every decoding is valid
// UTF-8: Latin-1 the input's bytes as code points, Shift-JIS leaving ASCII as
// it is; that ASCII never looks Japanese; and that a file's texts read
// automatically are all Western or all Japanese, and Western when none of
// them looks Japanese.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CardText.h"
#include "FileTexts.h"
#include "FuzzCheck.h"

namespace {
// The code points of valid UTF-8 (shortest forms, no surrogates); false for anything else.
bool CodePoints(const std::string& text, std::vector<std::uint32_t>& points) {
  static const std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  points.clear();
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xC0 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    if (extra < 0 || lead > 0xF4 || i + static_cast<std::size_t>(extra) >= text.size())
      return false;
    std::uint32_t point = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      point = point << 6 | (next & 0x3Fu);
    }
    if (point < kLeast[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
      return false;
    points.push_back(point);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

constexpr FileColumn kCardTexts[] = {FileColumn::FileName, FileColumn::ShortDescription,
                                     FileColumn::LongDescription, FileColumn::Application};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool ascii = std::all_of(data, data + size, [](std::uint8_t byte) { return byte < 0x80; });
  std::vector<std::uint32_t> points;
  Require(CodePoints(DecodeLatin1(bytes), points) &&
              points == std::vector<std::uint32_t>(data, data + size),
          "Latin-1 did not give the bytes as code points");
  std::string sjis;
  if (DecodeShiftJis(bytes, sjis)) {
    Require(CodePoints(sjis, points), "Shift-JIS gave invalid UTF-8");
    Require(!ascii || sjis == bytes, "Shift-JIS changed ASCII");
  }
  Require(!ascii || !LooksJapanese(bytes), "ASCII looks Japanese");

  FileTexts raw;
  bool looksJapanese = false;
  std::size_t at = 0;
  const std::size_t lengths[] = {12, 16, 32, 16};
  for (std::size_t k = 0; k < 4; ++k) {
    std::string field = bytes.substr(std::min(at, size), lengths[k]);
    raw.Text(kCardTexts[k]) = field.substr(0, field.find('\0'));
    looksJapanese = looksJapanese || LooksJapanese(raw.Text(kCardTexts[k]));
    at += lengths[k];
  }
  const FileTexts western = DecodeFileTexts(raw, TextEncoding::Western);
  const FileTexts japanese = DecodeFileTexts(raw, TextEncoding::Japanese);
  const FileTexts automatic = DecodeFileTexts(raw, TextEncoding::Automatic);
  for (const FileColumn column : kCardTexts) {
    Require(western.Text(column) == DecodeLatin1(raw.Text(column)), "Western is not Latin-1");
    Require(CodePoints(japanese.Text(column), points), "Japanese gave invalid UTF-8");
  }
  Require(automatic.columns == western.columns || automatic.columns == japanese.columns,
          "Automatic mixed Western and Japanese texts");
  Require(looksJapanese || automatic.columns == western.columns,
          "Automatic read texts as Japanese that do not look it");
  return 0;
}
