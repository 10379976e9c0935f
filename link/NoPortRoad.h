#pragma once

#include "PortRoad.h"

// The road of last resort: nothing reaches a port, so every handshake times out
// and the program keeps running.
class CNoPortRoad : public CPortRoad {
 public:
  std::uint8_t ReadRegister(std::uint16_t) override { return 0; }
  void WriteRegister(std::uint16_t, std::uint8_t) override {}
  PortAccess GetAccess() const override { return PortAccess::None; }
};
