#pragma once

#include "PortRoad.h"
#include "SimulatedCard.h"

// The port road wired to a simulated card. The card is not owned: it outlives
// the road (tests inspect it after the link is gone).
class CSimulatedPortRoad : public CPortRoad {
 public:
  explicit CSimulatedPortRoad(CSimulatedCard& card) : card_(card) {}

  std::uint8_t ReadRegister(std::uint16_t offset) override {
    return offset == kStatusRegister ? card_.ReadStatus() : 0;
  }
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override {
    if (offset == kDataRegister) {
      card_.WriteData(value);
    } else if (offset == kControlRegister) {
      card_.WriteControl(value);
    }
  }
  PortAccess GetAccess() const override { return PortAccess::Simulated; }

 private:
  CSimulatedCard& card_;
};
