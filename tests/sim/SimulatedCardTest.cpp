#include "SimulatedCard.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "CardOnSimulator.h"

// The card's side of the protocol; what the link makes of the card's faults is
// tested with the link.
namespace {

// The PC's side of the wire driven by hand, for what the link never does on
// its own: dropping the line halfway.
class HandWire {
 public:
  explicit HandWire(CSimulatedCard& card) : card_(card) {}

  bool Begin() {
    card_.WriteData(0x01);
    if ((card_.ReadStatus() & 0x40) == 0) return false;
    card_.WriteControl(0x01);
    return (card_.ReadStatus() & 0x40) == 0;
  }
  std::uint8_t Exchange(std::uint8_t out) {
    std::uint8_t in = 0;
    for (int bit = 7; bit >= 0; --bit) {
      const std::uint8_t data = ((out >> bit) & 1) ? 0x02 : 0x00;
      card_.WriteData(data);
      card_.WriteData(data | 0x01);
      in = static_cast<std::uint8_t>((in << 1) | ((card_.ReadStatus() & 0x40) ? 1 : 0));
    }
    return in;
  }
  void End() { card_.WriteControl(0x00); }

 private:
  CSimulatedCard& card_;
};

class CardOverLink : public ::testing::Test {
 protected:
  static std::array<std::uint8_t, 128> Unit(std::uint8_t seed) {
    std::array<std::uint8_t, 128> unit{};
    for (std::size_t i = 0; i < unit.size(); ++i)
      unit[i] = static_cast<std::uint8_t>(seed + i * 3);
    return unit;
  }

  CCardOnSimulator sim_;
  CSimulatedCard& card_ = sim_.Sim();
  CVmuLink& link_ = sim_.Link();
  HandWire wire_{card_};
};

}  // namespace

// Wrapping at a page's end is tested with the one-page card image.
TEST_F(CardOverLink, APageTheCardLacksPassesTheChecksumButSelectsNothing) {
  ASSERT_TRUE(link_.SelectPage(2));
  EXPECT_TRUE(link_.SelectPage(4));
  EXPECT_TRUE(link_.SelectPage(0x100));
  EXPECT_EQ(card_.GetSelectedPage(), 2u);
  EXPECT_EQ(card_.GetCounters().pageSelects, 1u);
}

TEST_F(CardOverLink, DroppedLineDiscardsTheTransaction) {
  // Most of a unit, then every byte but the checksum.
  for (int bytes : {100, 128}) {
    ASSERT_TRUE(wire_.Begin());
    EXPECT_EQ(wire_.Exchange(0x02), 0xA9);
    EXPECT_EQ(wire_.Exchange(0x55), 0x55);
    for (int i = 0; i < 4 + bytes; ++i)
      wire_.Exchange(0x00);  // address 0, then the data
    wire_.End();
    EXPECT_EQ(card_.GetPage(0)[0], 0xFF) << bytes;
  }
  EXPECT_EQ(card_.GetCounters().writeUnits, 0u);

  // The card starts afresh at the next handshake.
  const auto unit = Unit(9);
  ASSERT_TRUE(link_.Write(0, unit.data(), 128, false));
  EXPECT_EQ(card_.GetPage(0)[0], unit[0]);
}
