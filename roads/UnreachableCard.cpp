#include "UnreachableCard.h"

#include <utility>

CUnreachableCard::CUnreachableCard(Result why) : why_(std::move(why)) {}

bool CUnreachableCard::Refuse() {
  return Fail(why_.Code() != 0 ? why_.Code() : status::kUnknown);
}

bool CUnreachableCard::SelectPage(std::uint16_t) {
  return Refuse();
}

bool CUnreachableCard::ReadBlocks(std::uint32_t, std::uint32_t, std::uint8_t*) {
  return Refuse();
}

bool CUnreachableCard::WriteBlock(std::uint32_t, const std::uint8_t*) {
  return Refuse();
}

bool CUnreachableCard::ReadPageBytes(std::uint32_t, std::uint8_t*, std::uint32_t) {
  return Refuse();
}

bool CUnreachableCard::WritePageBytes(std::uint32_t, const std::uint8_t*, std::uint32_t) {
  return Refuse();
}

std::uint32_t CUnreachableCard::GetPageReadStep() const {
  return card_format::kBlockSize;
}

std::uint32_t CUnreachableCard::GetPageWriteStep() const {
  return card_format::kBlockSize;
}

std::string CUnreachableCard::MessageFor(std::uint32_t) const {
  return why_.Message();
}
