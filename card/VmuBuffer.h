#pragma once

#include <cstdint>
#include <memory>

// A record of fixed length holding the card's bytes exactly as they lie on the
// card; the typed records read and write fields at fixed offsets.
class CVmuBuffer {
 public:
  explicit CVmuBuffer(std::uint32_t length);
  virtual ~CVmuBuffer();

  CVmuBuffer(const CVmuBuffer& other);
  CVmuBuffer& operator=(const CVmuBuffer& other);

  std::uint8_t* GetData() { return data_.get(); }
  const std::uint8_t* GetData() const { return data_.get(); }
  std::uint32_t GetLength() const { return length_; }

  // Copies exactly GetLength() bytes; the source must hold at least that many.
  void CopyFrom(const std::uint8_t* source);

 protected:
  std::uint16_t GetWord(std::uint32_t offset) const;
  void SetWord(std::uint32_t offset, std::uint16_t value);
  // Copies size bytes at offset to destination and puts a zero after them.
  void CopyText(std::uint32_t offset, std::uint32_t size, char* destination) const;

 private:
  std::unique_ptr<std::uint8_t[]> data_;  // empty when the length is 0
  std::uint32_t length_;
};
