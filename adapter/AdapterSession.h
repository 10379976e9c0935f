#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AdapterClock.h"
#include "AdapterPacket.h"
#include "AttachedDevices.h"
#include "ByteChannel.h"
#include "MapleFrame.h"
#include "PacketParser.h"
#include "Result.h"

// What the adapter says of a controller port (X O).
enum class PortState : std::uint8_t { Unavailable = 0, Empty = 1, Connected = 2 };

// Requests to the adapter over a byte channel. Each request goes out with a
// return address of its own (1 to 0x0FFFFFFF, never 0, counting on), and
// its reply is the packet that comes back with that address: replies to
// other requests still awaited are kept for them, while packets for no such
// request (a reply that came after its deadline, the null packet an adapter
// may send on connect) are dropped. Every request has a deadline, since a
// request that is lost (a bad CRC) or cancelled (a card pulled out) gets no
// reply at all. The reply's code becomes the result: success (0x0A) and
// success with a warning (0x0B) give the payload; a failure (0x0F), missing
// data (0xFE) and an unknown command (0xFF) give the adapter's failures.
class CAdapterSession {
 public:
  static constexpr std::int64_t kDefaultTimeout = 1000000;  // microseconds
  static constexpr std::uint32_t kLastAddress = 0x0FFFFFFF;

  CAdapterSession(CByteChannel& channel, CAdapterClock& clock);

  void SetTimeout(std::int64_t microseconds) { timeout_ = microseconds; }
  std::int64_t GetTimeout() const { return timeout_; }
  CAdapterClock& Clock() { return clock_; }

  // Sends a request and gives its return address, for Await.
  Result Send(std::uint8_t command, const std::vector<std::uint8_t>& payload,
              std::uint32_t& address);
  // The reply to the request sent with address, by the deadline of the
  // timeout from now; its payload, after the reply code, in reply.
  Result Await(std::uint32_t address, std::vector<std::uint8_t>& reply);
  // Send, then Await.
  Result Exchange(std::uint8_t command, const std::vector<std::uint8_t>& payload,
                  std::vector<std::uint8_t>& reply);

  // The adapter's interface version (X V).
  Result GetInterfaceVersion(std::uint8_t& major, std::uint8_t& minor);
  // Each controller port's state (X O), A first.
  Result GetPortStates(std::array<PortState, 4>& states);
  // What is plugged into a port (X ?, port 0 to 3).
  Result GetAttached(std::uint8_t port, PortDevices& devices);
  // Every card that stores blocks, by the ports' states and what each
  // connected port holds, port A's slot 1 first. The ports are learnt from
  // the adapter, since an adapter with one port enabled sends every frame
  // there whatever port its address names.
  Result FindCards(std::vector<CardSlot>& cards);
  // A frame passed through to the bus ('0') and the frame that answers it.
  Result Maple(const MapleFrame& request, MapleFrame& reply);

  struct Counters {
    std::uint64_t requests = 0;  // packets sent
    std::uint64_t dropped = 0;   // packets that came for no awaited request
  };
  Counters GetCounters() const;

 private:
  Result Reply(const AdapterPacket& packet, std::vector<std::uint8_t>& reply) const;
  void TakeArrived();

  CByteChannel& channel_;
  CAdapterClock& clock_;
  std::int64_t timeout_ = kDefaultTimeout;
  std::uint32_t lastAddress_ = 0;
  CPacketParser parser_;
  std::set<std::uint32_t> awaited_;
  std::map<std::uint32_t, AdapterPacket> kept_;  // replies that came before they were awaited
  Counters counters_;
};

// The failure of an adapter status code (StatusCodes.h), with its place
// filled in where it has one.
Result AdapterFailure(std::uint32_t code, const std::string& value = std::string());
