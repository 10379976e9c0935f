#include "DirectPortRoad.h"

#include <cerrno>

std::unique_ptr<CDirectPortRoad> CDirectPortRoad::Open(std::uint16_t base, const SystemCalls& calls,
                                                       int& error) {
  if (calls.ioperm(base, kRegisterCount, 1) != 0) {
    error = errno;
    return nullptr;
  }
  error = 0;
  return std::make_unique<CDirectPortRoad>(Key(), calls, base);
}

CDirectPortRoad::CDirectPortRoad(Key, const SystemCalls& calls, std::uint16_t base)
    : calls_(calls), base_(base) {}

CDirectPortRoad::~CDirectPortRoad() {
  calls_.ioperm(base_, kRegisterCount, 0);
}

// Only the three registers were allowed; an instruction on any other address
// would kill the program, so other offsets read 0 and ignore writes.
std::uint8_t CDirectPortRoad::ReadRegister(std::uint16_t offset) {
  if (offset >= kRegisterCount) return 0;
  return static_cast<std::uint8_t>(calls_.inb(static_cast<std::uint16_t>(base_ + offset)));
}

void CDirectPortRoad::WriteRegister(std::uint16_t offset, std::uint8_t value) {
  if (offset >= kRegisterCount) return;
  calls_.outb(value, static_cast<std::uint16_t>(base_ + offset));
}
