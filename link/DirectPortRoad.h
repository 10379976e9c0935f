#pragma once

#include <cstdint>
#include <memory>

#include "PortRoad.h"
#include "Result.h"
#include "SystemCalls.h"

// The port through the processor's own port instructions, allowed by ioperm
// for the three registers only. The kernel grants that to root or a process
// with CAP_SYS_RAWIO; it is the road for a port that has no ppdev device.
class CDirectPortRoad : public CPortRoad {
  struct Key {
    explicit Key() = default;
  };

 public:
  static constexpr unsigned long kRegisterCount = 3;
  // What the probe writes to the data register, in order.
  static constexpr std::uint8_t kProbePatterns[] = {0x55, 0xAA, 0x00};

  // Asks the kernel for the three registers at base, then probes them: the
  // instructions reach whatever sits at an address, and only a parallel port
  // may be driven. A port's data register reads back what was written to it;
  // the probe writes each pattern there and reads it back, writes the data
  // register's old value back at the end, and writes nothing else, nor
  // anything more once a pattern does not read back. The control register must
  // read the same before and after. On refusal returns nothing, with the
  // reason in problem: ioperm's, with its errno as the code, or the probe's,
  // with none.
  static std::unique_ptr<CDirectPortRoad> Open(std::uint16_t base, const SystemCalls& calls,
                                               Result& problem);

  CDirectPortRoad(Key, const SystemCalls& calls, std::uint16_t base);
  ~CDirectPortRoad() override;  // gives the registers back

  CDirectPortRoad(const CDirectPortRoad&) = delete;
  CDirectPortRoad& operator=(const CDirectPortRoad&) = delete;

  std::uint8_t ReadRegister(std::uint16_t offset) override;
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override;
  PortAccess GetAccess() const override { return PortAccess::Direct; }

 private:
  SystemCalls calls_;  // a copy: the road may outlive the table it was opened with
  std::uint16_t base_;
};
