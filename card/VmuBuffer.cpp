#include "VmuBuffer.h"

#include <cstring>

#include "CardFormat.h"

namespace {
std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t length) {
  return length != 0 ? std::make_unique<std::uint8_t[]>(length) : nullptr;
}
}  // namespace

CVmuBuffer::CVmuBuffer(std::uint32_t length) : data_(Allocate(length)), length_(length) {}

CVmuBuffer::~CVmuBuffer() = default;

CVmuBuffer::CVmuBuffer(const CVmuBuffer& other)
    : data_(Allocate(other.length_)), length_(other.length_) {
  if (length_ != 0) std::memcpy(data_.get(), other.data_.get(), length_);
}

CVmuBuffer& CVmuBuffer::operator=(const CVmuBuffer& other) {
  if (this != &other) {
    data_ = Allocate(other.length_);
    length_ = other.length_;
    if (length_ != 0) std::memcpy(data_.get(), other.data_.get(), length_);
  }
  return *this;
}

void CVmuBuffer::CopyFrom(const std::uint8_t* source) {
  if (length_ != 0) std::memcpy(data_.get(), source, length_);
}

std::uint16_t CVmuBuffer::GetWord(std::uint32_t offset) const {
  return card_format::GetLe16(data_.get() + offset);
}

void CVmuBuffer::SetWord(std::uint32_t offset, std::uint16_t value) {
  card_format::PutLe16(data_.get() + offset, value);
}

void CVmuBuffer::CopyText(std::uint32_t offset, std::uint32_t size, char* destination) const {
  std::memcpy(destination, data_.get() + offset, size);
  destination[size] = '\0';
}
