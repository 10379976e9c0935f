#include "AdapterTransport.h"

#include <array>

#include "CardFormat.h"
#include "Messages.h"

using card_format::kBlockSize;
using card_format::kPageSize;

CAdapterTransport::CAdapterTransport(std::unique_ptr<CByteChannel> channel, CAdapterClock& clock,
                                     CardSlot slot)
    : channel_(std::move(channel)),
      session_(*channel_, clock),
      card_(std::make_unique<CAdapterCard>(session_, slot)) {}

void CAdapterTransport::UseSlot(CardSlot slot) {
  card_ = std::make_unique<CAdapterCard>(session_, slot);
}

bool CAdapterTransport::Failed(const Result& result) {
  lastMessage_ = result.Message();
  return Fail(result.Code() != 0 ? result.Code() : status::kUnknown);
}

bool CAdapterTransport::Refuse() {
  lastMessage_.clear();
  return Fail(status::kNotSupported);
}

bool CAdapterTransport::SelectPage(std::uint16_t page) {
  if (page == 0) return true;
  return Failed(Result::Failure(message::kCardOnePage.text, status::kNotSupported));
}

bool CAdapterTransport::ReadBlocks(std::uint32_t first, std::uint32_t count,
                                   std::uint8_t* storage) {
  if (!BlocksOnPage(first, count)) return Refuse();
  for (std::uint32_t i = 0; i < count; ++i) {
    const Result read = card_->ReadBlock(static_cast<std::uint16_t>(first + i),
                                         storage + std::size_t{i} * kBlockSize);
    if (!read) return Failed(read);
  }
  return true;
}

bool CAdapterTransport::WriteBlock(std::uint32_t block, const std::uint8_t* storage) {
  if (!BlocksOnPage(block, 1)) return Refuse();
  const Result written = card_->WriteBlock(static_cast<std::uint16_t>(block), storage);
  return written ? true : Failed(written);
}

bool CAdapterTransport::WholeBlocks(std::uint32_t offset, std::uint32_t length) {
  return offset % kBlockSize == 0 && length % kBlockSize == 0 && offset <= kPageSize &&
         length <= kPageSize - offset;
}

// The card answers in storage order; page bytes are in wire order, the
// order of a DCM file: the same four-byte groups turned around.
bool CAdapterTransport::ReadPageBytes(std::uint32_t offset, std::uint8_t* wire,
                                      std::uint32_t length) {
  if (!WholeBlocks(offset, length)) return Refuse();
  if (!ReadBlocks(offset / kBlockSize, length / kBlockSize, wire)) return false;
  card_format::ReverseGroups(wire, length);
  return true;
}

bool CAdapterTransport::WritePageBytes(std::uint32_t offset, const std::uint8_t* wire,
                                       std::uint32_t length) {
  if (!WholeBlocks(offset, length)) return Refuse();
  std::array<std::uint8_t, kBlockSize> storage;
  for (std::uint32_t done = 0; done < length; done += kBlockSize) {
    std::copy(wire + done, wire + done + kBlockSize, storage.begin());
    card_format::ReverseGroups(storage.data(), storage.size());
    if (!WriteBlock((offset + done) / kBlockSize, storage.data())) return false;
  }
  return true;
}

std::uint32_t CAdapterTransport::GetPageReadStep() const {
  return kBlockSize;
}

std::uint32_t CAdapterTransport::GetPageWriteStep() const {
  return kBlockSize;
}

std::string CAdapterTransport::MessageFor(std::uint32_t code) const {
  if (code == GetLastStatus() && !lastMessage_.empty()) return lastMessage_;
  return CCardTransport::MessageFor(code);
}
