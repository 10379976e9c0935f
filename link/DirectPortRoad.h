#pragma once

#include <cstdint>
#include <memory>

#include "PortRoad.h"
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

  // Asks the kernel for the three registers at base; on refusal returns
  // nothing, with the refusal's errno in error.
  static std::unique_ptr<CDirectPortRoad> Open(std::uint16_t base, const SystemCalls& calls,
                                               int& error);

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
