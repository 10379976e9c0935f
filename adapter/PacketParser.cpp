#include "PacketParser.h"

#include <algorithm>
#include <iterator>

#include "PacketAddress.h"
#include "PacketCrc.h"

using namespace adapter_packet;

void CPacketParser::Feed(const std::uint8_t* bytes, std::size_t size) {
  buffer_.insert(buffer_.end(), bytes, bytes + size);
  Parse();
}

bool CPacketParser::Next(AdapterPacket& packet) {
  if (ready_.empty()) return false;
  packet = std::move(ready_.front());
  ready_.pop_front();
  return true;
}

void CPacketParser::Parse() {
  while (ParseOne()) {
  }
}

bool CPacketParser::ParseOne() {
  // Skip to the first magic; a tail that may begin one stays.
  const auto magic =
      std::search(buffer_.begin(), buffer_.end(), std::begin(kMagic), std::end(kMagic));
  std::size_t start = static_cast<std::size_t>(magic - buffer_.begin());
  if (magic == buffer_.end()) {
    const std::size_t keep = std::min(buffer_.size(), sizeof(kMagic) - 1);
    start = buffer_.size() - keep;
    while (start < buffer_.size() &&
           !std::equal(buffer_.begin() + static_cast<std::ptrdiff_t>(start), buffer_.end(),
                       std::begin(kMagic))) {
      ++start;
    }
  }
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
  if (buffer_.size() < kHeaderSize) return false;

  const std::uint8_t* header = buffer_.data() + sizeof(kMagic);
  const std::size_t size = static_cast<std::size_t>(header[0] << 8 | header[1]);
  const std::size_t inverse = static_cast<std::size_t>(header[2] << 8 | header[3]);
  bool good = (size ^ inverse) == 0xFFFF && size >= kMinSize && size <= kMaxSize;
  if (good && buffer_.size() < kHeaderSize + size) return false;

  AdapterPacket packet;
  if (good) {
    const std::uint8_t* body = buffer_.data() + kHeaderSize;
    const std::size_t checked = size - 2;
    std::size_t used = 0;
    good = packet_address::Parse(body, checked, packet.address, used) && used < checked &&
           PacketCrc(body, checked) == (body[checked] << 8 | body[checked + 1]);
    if (good) {
      packet.command = body[used];
      packet.payload.assign(body + used + 1, body + checked);
    }
  }
  if (!good) {
    ++dropped_;
    buffer_.erase(buffer_.begin());  // look for the next magic after this one's start
    return true;
  }
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + size));
  ready_.push_back(std::move(packet));
  return true;
}
