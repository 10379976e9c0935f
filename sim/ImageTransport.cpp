#include "ImageTransport.h"

#include <algorithm>
#include <array>

#include "CardFormat.h"
#include "VmuLink.h"

using card_format::kBlockSize;
using card_format::kPageSize;

bool CImageTransport::OnPage(std::uint32_t offset, std::uint32_t length) {
  return offset % 4 == 0 && length % 4 == 0 && offset <= kPageSize && length <= kPageSize - offset;
}

bool CImageTransport::SelectPage(std::uint16_t page) {
  if (std::uint32_t{page} >= GetPageCount() || !card_.SelectPage(page))
    return Fail(status::kNotSupported);
  return true;
}

bool CImageTransport::ReadBlocks(std::uint32_t first, std::uint32_t count, std::uint8_t* storage) {
  if (!BlocksOnPage(first, count)) return Fail(status::kNotSupported);
  if (!ReadPageBytes(first * kBlockSize, storage, count * kBlockSize)) return false;
  card_format::ReverseGroups(storage, std::size_t{count} * kBlockSize);
  return true;
}

bool CImageTransport::WriteBlock(std::uint32_t block, const std::uint8_t* storage) {
  if (!BlocksOnPage(block, 1)) return Fail(status::kNotSupported);
  std::array<std::uint8_t, kBlockSize> wire;
  std::copy(storage, storage + kBlockSize, wire.begin());
  card_format::ReverseGroups(wire.data(), wire.size());
  return WritePageBytes(block * kBlockSize, wire.data(), kBlockSize);
}

bool CImageTransport::ReadPageBytes(std::uint32_t offset, std::uint8_t* wire,
                                    std::uint32_t length) {
  if (!OnPage(offset, length)) return Fail(status::kNotSupported);
  const std::uint8_t* page = card_.GetPage(card_.GetSelectedPage());
  std::copy(page + offset, page + offset + length, wire);
  return true;
}

bool CImageTransport::WritePageBytes(std::uint32_t offset, const std::uint8_t* wire,
                                     std::uint32_t length) {
  if (!OnPage(offset, length)) return Fail(status::kNotSupported);
  const Result stored = card_.StoreBytes(offset, wire, length);
  return stored ? true : FailNotStored(stored.Message());
}

std::uint32_t CImageTransport::GetPageReadStep() const {
  return CVmuLink::kPageReadUnit;
}

std::uint32_t CImageTransport::GetPageWriteStep() const {
  return kBlockSize;
}
