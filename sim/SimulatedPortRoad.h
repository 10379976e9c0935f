#pragma once

#include "PortRoad.h"
#include "SimulatedCard.h"

// The port road wired to a simulated card. The card is not owned: it outlives
// the road (tests inspect it after the link is gone). The data and control
// registers read back what was last written, as a real port's do.
class CSimulatedPortRoad : public CPortRoad {
 public:
  explicit CSimulatedPortRoad(CSimulatedCard& card) : card_(card) {}

  std::uint8_t ReadRegister(std::uint16_t offset) override {
    switch (offset) {
      case kDataRegister:
        return data_;
      case kStatusRegister:
        return card_.ReadStatus();
      case kControlRegister:
        return control_;
    }
    return 0;
  }
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override {
    if (offset == kDataRegister) {
      data_ = value;
      card_.WriteData(value);
    } else if (offset == kControlRegister) {
      control_ = value;
      card_.WriteControl(value);
    }
  }
  PortAccess GetAccess() const override { return PortAccess::Simulated; }
  Result TakeFailure() override { return card_.TakeRefusal(); }

 private:
  CSimulatedCard& card_;
  std::uint8_t data_ = 0;
  std::uint8_t control_ = 0;
};
