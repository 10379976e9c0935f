#include "RestoreFile.h"

#include "CardFormat.h"
#include "FileReader.h"
#include "Messages.h"

namespace {
constexpr std::size_t kPage = card_format::kPageSize;
constexpr std::uint16_t kPagesOfACard = card_format::kPageCount;
}  // namespace

const std::uint8_t* RestoreFile::Page(std::uint16_t n) const {
  return wire.data() + (n - 1) * kPage;
}

Result LoadRestoreFile(const std::string& path, RestoreFile& file) {
  std::vector<std::uint8_t> bytes;
  // One byte past four pages tells a four-page image from a longer file.
  const Result read = ReadRegularFile(path, bytes, kPagesOfACard * kPage + 1);
  if (!read) {
    return Result::Failure(Fill(message::kCannotReadWhy, {read.Message()}));
  }
  if (bytes.size() < kPage) return Result::Failure(message::kCannotRead.text);
  file.pages = bytes.size() == kPagesOfACard * kPage ? kPagesOfACard : 1;
  bytes.resize(file.pages * kPage);
  card_format::ByteOrder order = card_format::ByteOrder::Wire;
  if (card_format::ImageOrderFor(path, order) && order == card_format::ByteOrder::Storage)
    card_format::ReverseGroups(bytes.data(), bytes.size());
  file.wire = std::move(bytes);
  return Result();
}
