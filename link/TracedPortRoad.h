#pragma once

#include "PortRoad.h"
#include "WireTrace.h"

// Passes every access on to another road and writes it to a trace.
class CTracedPortRoad : public CPortRoad {
 public:
  CTracedPortRoad(CPortRoad& inner, CWireTrace& trace) : inner_(inner), trace_(trace) {}

  std::uint8_t ReadRegister(std::uint16_t offset) override;
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override;
  PortAccess GetAccess() const override { return inner_.GetAccess(); }
  Result TakeFailure() override { return inner_.TakeFailure(); }

 private:
  CPortRoad& inner_;
  CWireTrace& trace_;
};
