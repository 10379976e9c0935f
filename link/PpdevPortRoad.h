#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "PortRoad.h"
#include "Result.h"
#include "SystemCalls.h"

// The port through the kernel's ppdev driver: /dev/parportN, claimed for as
// long as the road lives. It needs membership of the lp group, not root, and
// the kernel keeps other programs off the port meanwhile.
class CPpdevPortRoad : public CPortRoad {
  struct Key {
    explicit Key() = default;
  };

 public:
  // Finds the device whose base address is base, opens and claims it. When
  // that cannot be done, returns nothing and tells the user why in problem,
  // with the system's errno where it refused.
  static std::unique_ptr<CPpdevPortRoad> Open(std::uint16_t base, const SystemCalls& calls,
                                              Result& problem);

  // Whether the system knows a parallel port at base, usable or not.
  static bool IsKnownAddress(std::uint16_t base, const SystemCalls& calls);

  CPpdevPortRoad(Key, const SystemCalls& calls, int fd, std::string device);
  ~CPpdevPortRoad() override;  // releases the port and closes the device

  CPpdevPortRoad(const CPpdevPortRoad&) = delete;
  CPpdevPortRoad& operator=(const CPpdevPortRoad&) = delete;

  std::uint8_t ReadRegister(std::uint16_t offset) override;
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override;
  PortAccess GetAccess() const override { return PortAccess::Ppdev; }
  // The first register request the system refused since the last call.
  Result TakeFailure() override;

 private:
  void NoteFailure(int error);

  SystemCalls calls_;  // a copy: the road may outlive the table it was opened with
  int fd_;
  std::string device_;
  Result failure_;
};
