#include "TracedPortRoad.h"

std::uint8_t CTracedPortRoad::ReadRegister(std::uint16_t offset) {
  const std::uint8_t value = inner_.ReadRegister(offset);
  trace_.RecordRead(offset, value);
  return value;
}

void CTracedPortRoad::WriteRegister(std::uint16_t offset, std::uint8_t value) {
  inner_.WriteRegister(offset, value);
  trace_.RecordWrite(offset, value);
  // The end of each transaction reaches the file, so a trace of a session that
  // was killed still shows every finished transaction.
  if (offset == kControlRegister && value == 0) trace_.Flush();
}
