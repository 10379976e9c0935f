#include "DirectPortRoad.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Messages.h"

namespace {

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

std::string Address(std::uint16_t base) {
  char address[32];
  std::snprintf(address, sizeof address, "0x%X (%u)", unsigned{base}, unsigned{base});
  return address;
}

// Whether the registers at base behave as a parallel port's; problem says why not.
bool ProbePort(const SystemCalls& calls, std::uint16_t base, Result& problem) {
  const auto data = base;
  const auto control = static_cast<std::uint16_t>(base + kControlRegister);
  const unsigned controlBefore = static_cast<unsigned>(calls.inb(control)) & 0xFF;
  const auto found = static_cast<unsigned char>(calls.inb(data));
  for (const std::uint8_t pattern : CDirectPortRoad::kProbePatterns) {
    calls.outb(pattern, data);
    const unsigned back = static_cast<unsigned>(calls.inb(data)) & 0xFF;
    if (back == pattern) continue;
    // Past the first pattern the register is a latch with stuck bits: it gets
    // its value back. Before that it is no latch, and anything written could
    // be a command to whatever it is.
    if (pattern != CDirectPortRoad::kProbePatterns[0]) calls.outb(found, data);
    problem =
        Result::Failure(Fill(message::kNoPortDataLatch, {Address(base), Hex(back), Hex(pattern)}));
    return false;
  }
  calls.outb(found, data);
  const unsigned controlAfter = static_cast<unsigned>(calls.inb(control)) & 0xFF;
  if (controlAfter != controlBefore) {
    problem = Result::Failure(
        Fill(message::kNoPortControlMoved, {Address(base), Hex(controlBefore), Hex(controlAfter)}));
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<CDirectPortRoad> CDirectPortRoad::Open(std::uint16_t base, const SystemCalls& calls,
                                                       Result& problem) {
  if (calls.ioperm(base, kRegisterCount, 1) != 0) {
    const int error = errno;
    problem = Result::Failure(Fill(message::kDirectAccessRefused, {std::strerror(error)}),
                              static_cast<std::uint32_t>(error));
    return nullptr;
  }
  if (!ProbePort(calls, base, problem)) {
    calls.ioperm(base, kRegisterCount, 0);
    return nullptr;
  }
  problem = Result();
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
