#pragma once

#include <cstdint>

#include "PortAccess.h"
#include "Result.h"

// Register offsets from the port's base address.
constexpr std::uint16_t kDataRegister = 0;
constexpr std::uint16_t kStatusRegister = 1;
constexpr std::uint16_t kControlRegister = 2;

// One way of reaching the parallel port's three 8-bit registers. Accesses are
// always 8 bits wide: a 16-bit access would also reach base+3.
class CPortRoad {
 public:
  virtual ~CPortRoad() = default;

  virtual std::uint8_t ReadRegister(std::uint16_t offset) = 0;
  virtual void WriteRegister(std::uint16_t offset, std::uint8_t value) = 0;
  virtual PortAccess GetAccess() const = 0;

  // Why the road itself failed underneath the accesses since the last call
  // (the system refused a request, the card image refused what the card
  // took), then forgets it; done while nothing failed. The accesses carry on
  // regardless, so the link asks at the end of every transaction.
  virtual Result TakeFailure() { return Result(); }
};
