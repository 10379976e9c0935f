#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "AdapterCard.h"
#include "AdapterSession.h"
#include "ManualClock.h"
#include "PacketParser.h"
#include "ResultAssertion.h"
#include "StatusCodes.h"

using Bytes = std::vector<std::uint8_t>;

namespace {
// A channel whose far end is a function from each request to the packets
// that answer it (none, one or several, in the order they are to come), with
// the time of each request kept.
class CScriptedChannel : public CByteChannel {
 public:
  using Answer = std::function<std::vector<AdapterPacket>(const AdapterPacket&)>;
  CScriptedChannel(CAdapterClock& clock, Answer answer)
      : clock_(clock), answer_(std::move(answer)) {}

  Result Write(const std::uint8_t* bytes, std::size_t size) override {
    parser_.Feed(bytes, size);
    AdapterPacket request;
    while (parser_.Next(request)) {
      requests.push_back(request);
      times.push_back(clock_.Now());
      for (const AdapterPacket& reply : answer_(request)) {
        const Bytes packet = adapter_packet::Build(reply);
        waiting_.insert(waiting_.end(), packet.begin(), packet.end());
      }
    }
    return Result();
  }
  Result Read(Bytes& arrived, std::int64_t deadline) override {
    if (waiting_.empty()) clock_.Sleep(deadline - clock_.Now());
    arrived.insert(arrived.end(), waiting_.begin(), waiting_.end());
    waiting_.clear();
    return Result();
  }

  std::vector<AdapterPacket> requests;
  std::vector<std::int64_t> times;

 private:
  CAdapterClock& clock_;
  Answer answer_;
  CPacketParser parser_;
  Bytes waiting_;
};

AdapterPacket Reply(const AdapterPacket& request, std::uint8_t command, Bytes payload = {}) {
  return {request.address, command, std::move(payload)};
}

// The card's answer frame to a storage frame, as the adapter passes it back.
AdapterPacket CardReply(const AdapterPacket& request, std::uint8_t command,
                        std::vector<std::uint32_t> words = {}) {
  MapleFrame frame{command, request.payload[2], request.payload[1], std::move(words)};
  return Reply(request, 0x0A, frame.Encode());
}
}  // namespace

TEST(AdapterSession, AsksTheAdaptersOwnQuestions) {
  CManualClock clock;
  CScriptedChannel channel(clock, [](const AdapterPacket& request) {
    const Bytes& in = request.payload;
    if (in == Bytes{'V'}) return std::vector<AdapterPacket>{Reply(request, 0x0A, {1, 0})};
    if (in == Bytes{'O'}) return std::vector<AdapterPacket>{Reply(request, 0x0A, {2, 1, 0, 2})};
    // A controller, slot 1 empty, a card in slot 2; the codes hold '|' and ';' bytes.
    Bytes devices = {'|', 0, 0, 0, 1, '|', ';', '|', ';', '|', ';', ';'};
    for (std::uint32_t code : {2u, 4u, 8u}) {
      devices.insert(devices.end(),
                     {'|', 0, 0, 0, static_cast<std::uint8_t>(code), '|', 0, 0x0F, 0x41, 0});
    }
    return std::vector<AdapterPacket>{Reply(request, 0x0A, devices)};
  });
  CAdapterSession session(channel, clock);
  std::uint8_t major = 0, minor = 9;
  ASSERT_TRUE(Succeeded(session.GetInterfaceVersion(major, minor)));
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 0);
  EXPECT_EQ(adapter_packet::Build(channel.requests[0]),
            (Bytes{0xDB, 0x8B, 0xAF, 0xD5, 0x00, 0x05, 0xFF, 0xFA, 0x01, 0x58, 0x56, 0x46, 0x89}));
  std::array<PortState, 4> ports{};
  ASSERT_TRUE(Succeeded(session.GetPortStates(ports)));
  EXPECT_EQ(ports, (std::array<PortState, 4>{PortState::Connected, PortState::Empty,
                                             PortState::Unavailable, PortState::Connected}));
  PortDevices devices;
  ASSERT_TRUE(Succeeded(session.GetAttached(3, devices)));
  EXPECT_EQ(channel.requests[2].payload, (Bytes{'?', 3}));
  EXPECT_TRUE(devices.controller.Offers(1));
  EXPECT_EQ(devices.controller.functions[0].definition, 0x3B7C3B7Cu);
  ASSERT_EQ(devices.held.size(), 2u);
  EXPECT_FALSE(devices.HasCard(1));
  EXPECT_TRUE(devices.HasCard(2));
  EXPECT_EQ(devices.held[1].functions.size(), 3u);
  EXPECT_FALSE(devices.Parse({'|', 0, 0, 0, 1, '|', 0}));  // cut short
  CardSlot slot;
  EXPECT_TRUE(CardSlot::FromName("c2", slot) && (slot == CardSlot{2, 2}) && slot.Name() == "C2");
  for (const char* bad : {"E1", "A3", "A", "A10", "@1"}) {
    EXPECT_FALSE(CardSlot::FromName(bad, slot)) << bad;
  }
  // Each request had an address of its own.
  EXPECT_EQ(channel.requests[1].address, 2u);
}

TEST(AdapterSession, TurnsReplyCodesSilenceAndStrayRepliesIntoResults) {
  CManualClock clock;
  std::vector<AdapterPacket> script;
  CScriptedChannel channel(clock, [&](const AdapterPacket&) { return script; });
  CAdapterSession session(channel, clock);
  session.SetTimeout(200000);
  Bytes reply;
  const auto answered = [&](std::vector<AdapterPacket> packets) {
    script = std::move(packets);
    return session.Exchange('X', {'V'}, reply);
  };
  const std::uint32_t next = 1;
  EXPECT_TRUE(Succeeded(answered({{next, 0x0B, {7}}})));  // done with a warning
  EXPECT_EQ(reply, Bytes{7});
  Result failed = answered({{next + 1, 0x0F, {4}}});
  EXPECT_EQ(failed.Code(), status::kAdapterFailure);
  EXPECT_EQ(failed.Message(), "The USB adapter could not reach the memory card (reason 4).");
  EXPECT_EQ(answered({{next + 2, 0xFF, {'X'}}}).Code(), status::kAdapterRejected);
  EXPECT_EQ(answered({{next + 3, 0xFE, {}}}).Message(),
            "The USB adapter refused a request it does not understand (answer 0xFE).");
  EXPECT_EQ(answered({{next + 4, 0x0F, {}}}).Code(), status::kAdapterGarbled);
  // Silence ends at the deadline; the reply that comes late, and the null
  // packet, are dropped, and the next request gets its own reply.
  const std::int64_t before = clock.Now();
  EXPECT_EQ(answered({}).Code(), status::kAdapterNoReply);
  EXPECT_EQ(clock.Now() - before, 200000);
  EXPECT_TRUE(Succeeded(answered({{next + 5, 0x0A, {1}}, {0, 0, {}}, {next + 6, 0x0A, {2}}})));
  EXPECT_EQ(reply, Bytes{2});
  EXPECT_EQ(session.GetCounters().dropped, 2u);
}

TEST(AdapterCard, ReadsABlockWithOneFrameAndChecksTheAnswer) {
  CManualClock clock;
  std::vector<std::uint32_t> words = {2, 0x00C7};
  for (std::uint32_t i = 0; i < 128; ++i)
    words.push_back(0x01020304 + i);
  CScriptedChannel channel(clock, [&](const AdapterPacket& request) {
    return std::vector<AdapterPacket>{CardReply(request, 0x08, words)};
  });
  CAdapterSession session(channel, clock);
  CAdapterCard card(session, {2, 2});  // C2
  std::uint8_t block[512] = {};
  ASSERT_TRUE(Succeeded(card.ReadBlock(199, block)));
  EXPECT_EQ(channel.requests[0].command, '0');
  EXPECT_EQ(channel.requests[0].payload,
            (Bytes{0x0B, 0x82, 0x80, 0x02, 0, 0, 0, 2, 0, 0, 0, 0xC7}));
  EXPECT_EQ(Bytes(block, block + 8), (Bytes{1, 2, 3, 4, 1, 2, 3, 5}));
  EXPECT_EQ(block[511], 0x04 + 127);
  words[1] = 0x00C8;  // another block's location echoed
  EXPECT_EQ(card.ReadBlock(199, block).Code(), status::kAdapterGarbled);
}

TEST(AdapterCard, WritesPacedPartsCommitsAndReadsBackRetryingWhenAskedAgain) {
  CManualClock clock;
  Bytes stored(512, 0xFF);
  int transmitAgain = 1;  // the first part is asked for again once
  CScriptedChannel channel(clock, [&](const AdapterPacket& request) {
    MapleFrame frame;
    frame.Decode(request.payload);
    const std::uint32_t phase = frame.words[1] >> 16;
    if (frame.command == 0x0B) {
      std::vector<std::uint32_t> words = {2, frame.words[1]};
      for (std::size_t at = 0; at < 512; at += 4)
        words.push_back(maple::GetWord(&stored[at]));
      return std::vector<AdapterPacket>{CardReply(request, 0x08, words)};
    }
    if (frame.command == 0x0C && phase == 0 && transmitAgain-- > 0) {
      return std::vector<AdapterPacket>{CardReply(request, 0xFC)};
    }
    for (std::size_t i = 2; frame.command == 0x0C && i < frame.words.size(); ++i)
      maple::PutWord(&stored[phase * 128 + (i - 2) * 4], frame.words[i]);
    return std::vector<AdapterPacket>{CardReply(request, 0x07)};
  });
  CAdapterSession session(channel, clock);
  CAdapterCard card(session, {1, 1});  // B1
  Bytes data(512);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(Succeeded(card.WriteBlock(3, data.data())));
  EXPECT_EQ(stored, data);
  // Asked again, started again; then four parts, the commit and the read-back.
  ASSERT_EQ(channel.requests.size(), 7u);
  EXPECT_EQ(Bytes(channel.requests[1].payload.begin(), channel.requests[1].payload.begin() + 12),
            (Bytes{0x0C, 0x41, 0x40, 34, 0, 0, 0, 2, 0, 0, 0, 3}));
  EXPECT_EQ(channel.requests[5].payload, (Bytes{0x0D, 0x41, 0x40, 2, 0, 0, 0, 2, 0, 4, 0, 3}));
  for (std::size_t i = 1; i < 6; ++i) {
    EXPECT_GE(channel.times[i] - channel.times[i - 1], CAdapterCard::kWritePause) << i;
  }
  EXPECT_EQ(card.GetCounters().retries, 1u);
}
