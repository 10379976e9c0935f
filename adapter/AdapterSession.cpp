#include "AdapterSession.h"

#include <cstdio>

#include "Messages.h"
#include "StatusCodes.h"

using namespace adapter_packet;

namespace {
std::string Hex(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%02X", byte);
  return text;
}
}  // namespace

Result AdapterFailure(std::uint32_t code, const std::string& value) {
  return Result::Failure(Fill(Message{StatusMessage(code), ""}, {value}), code);
}

CAdapterSession::CAdapterSession(CByteChannel& channel, CAdapterClock& clock)
    : channel_(channel), clock_(clock) {}

Result CAdapterSession::Send(std::uint8_t command, const std::vector<std::uint8_t>& payload,
                             std::uint32_t& address) {
  lastAddress_ = lastAddress_ >= kLastAddress ? 1 : lastAddress_ + 1;
  address = lastAddress_;
  kept_.erase(address);  // a reply left from the last round of addresses is no answer to this
  const std::vector<std::uint8_t> bytes = Build({address, command, payload});
  ++counters_.requests;
  Result sent = channel_.Write(bytes.data(), bytes.size());
  if (sent) awaited_.insert(address);
  return sent;
}

Result CAdapterSession::Await(std::uint32_t address, std::vector<std::uint8_t>& reply) {
  const std::int64_t deadline = clock_.Now() + timeout_;
  for (;;) {
    const auto kept = kept_.find(address);
    if (kept != kept_.end()) {
      const AdapterPacket packet = std::move(kept->second);
      kept_.erase(kept);
      awaited_.erase(address);
      return Reply(packet, reply);
    }
    if (clock_.Now() >= deadline) break;
    std::vector<std::uint8_t> arrived;
    Result read = channel_.Read(arrived, deadline);
    if (!read) {
      awaited_.erase(address);
      return read;
    }
    parser_.Feed(arrived.data(), arrived.size());
    TakeArrived();
  }
  awaited_.erase(address);  // a reply that comes later is dropped
  return AdapterFailure(status::kAdapterNoReply);
}

Result CAdapterSession::Exchange(std::uint8_t command, const std::vector<std::uint8_t>& payload,
                                 std::vector<std::uint8_t>& reply) {
  std::uint32_t address = 0;
  Result sent = Send(command, payload, address);
  return sent ? Await(address, reply) : sent;
}

void CAdapterSession::TakeArrived() {
  AdapterPacket packet;
  while (parser_.Next(packet)) {
    if (packet.address <= kLastAddress &&
        awaited_.count(static_cast<std::uint32_t>(packet.address)) != 0) {
      kept_[static_cast<std::uint32_t>(packet.address)] = std::move(packet);
    } else {
      ++counters_.dropped;
    }
  }
}

Result CAdapterSession::Reply(const AdapterPacket& packet, std::vector<std::uint8_t>& reply) const {
  switch (packet.command) {
    case kSuccess:
    case kWarning:
      reply = packet.payload;
      return Result();
    case kFailure:
      if (packet.payload.size() != 1) break;
      return AdapterFailure(status::kAdapterFailure, std::to_string(packet.payload[0]));
    case kInvalid:
    case kUnknown:
      return AdapterFailure(status::kAdapterRejected, Hex(packet.command));
    default:
      break;
  }
  return AdapterFailure(status::kAdapterGarbled);
}

CAdapterSession::Counters CAdapterSession::GetCounters() const {
  Counters counters = counters_;
  counters.dropped += parser_.GetDropped();
  return counters;
}

Result CAdapterSession::GetInterfaceVersion(std::uint8_t& major, std::uint8_t& minor) {
  std::vector<std::uint8_t> reply;
  Result done = Exchange(kExtended, {kVersion}, reply);
  if (!done) return done;
  if (reply.size() != 2) return AdapterFailure(status::kAdapterGarbled);
  major = reply[0];
  minor = reply[1];
  return Result();
}

Result CAdapterSession::GetPortStates(std::array<PortState, 4>& states) {
  std::vector<std::uint8_t> reply;
  Result done = Exchange(kExtended, {kPortStatus}, reply);
  if (!done) return done;
  if (reply.size() != states.size()) return AdapterFailure(status::kAdapterGarbled);
  for (std::size_t port = 0; port < states.size(); ++port) {
    if (reply[port] > 2) return AdapterFailure(status::kAdapterGarbled);
    states[port] = static_cast<PortState>(reply[port]);
  }
  return Result();
}

Result CAdapterSession::GetAttached(std::uint8_t port, PortDevices& devices) {
  std::vector<std::uint8_t> reply;
  Result done = Exchange(kExtended, {kAttached, port}, reply);
  if (!done) return done;
  return devices.Parse(reply) ? Result() : AdapterFailure(status::kAdapterGarbled);
}

Result CAdapterSession::FindCards(std::vector<CardSlot>& cards) {
  std::array<PortState, 4> states{};
  Result done = GetPortStates(states);
  std::vector<CardSlot> found;
  for (std::uint8_t port = 0; done && port < maple::kPortCount; ++port) {
    PortDevices devices;
    if (states[port] != PortState::Connected) continue;
    done = GetAttached(port, devices);
    for (std::uint8_t slot = 1; done && slot <= maple::kSlotCount; ++slot) {
      if (devices.HasCard(slot)) found.push_back({port, slot});
    }
  }
  if (done) cards = std::move(found);
  return done;
}

Result CAdapterSession::Maple(const MapleFrame& request, MapleFrame& reply) {
  std::vector<std::uint8_t> bytes;
  Result done = Exchange(kMaple, request.Encode(), bytes);
  if (!done) return done;
  return reply.Decode(bytes) ? Result() : AdapterFailure(status::kAdapterGarbled);
}
