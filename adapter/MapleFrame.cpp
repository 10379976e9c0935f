#include "MapleFrame.h"

std::vector<std::uint8_t> MapleFrame::Encode() const {
  std::vector<std::uint8_t> bytes(4 + 4 * words.size());
  maple::PutWord(bytes.data(), std::uint32_t{command} << 24 | std::uint32_t{recipient} << 16 |
                                   std::uint32_t{sender} << 8 |
                                   static_cast<std::uint8_t>(words.size()));
  for (std::size_t i = 0; i < words.size(); ++i)
    maple::PutWord(&bytes[4 + 4 * i], words[i]);
  return bytes;
}

bool MapleFrame::Decode(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 4 || bytes.size() % 4 != 0 || std::size_t{bytes[3]} != bytes.size() / 4 - 1) {
    return false;
  }
  command = bytes[0];
  recipient = bytes[1];
  sender = bytes[2];
  words.clear();
  for (std::size_t at = 4; at < bytes.size(); at += 4)
    words.push_back(maple::GetWord(&bytes[at]));
  return true;
}
