#pragma once

#include <cstdint>
#include <vector>

#include "PortRoad.h"

// One register access as it crossed the road.
struct PortAccessRecord {
  bool write;
  std::uint16_t offset;
  std::uint8_t value;
};

// Passes every access on to another road (or, without one, reads a fixed
// status value) and keeps a record of it, so tests can read what was on the wire.
class CRecordingPortRoad : public CPortRoad {
 public:
  explicit CRecordingPortRoad(CPortRoad* inner = nullptr) : inner_(inner) {}

  std::uint8_t ReadRegister(std::uint16_t offset) override;
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override;
  PortAccess GetAccess() const override;

  void SetFixedStatus(std::uint8_t value) { fixedStatus_ = value; }
  const std::vector<PortAccessRecord>& GetRecords() const { return records_; }
  void Clear() { records_.clear(); }

  std::size_t CountAccesses(bool write, std::uint16_t offset) const;
  // The value last written to a register, or -1 when it was never written.
  int LastWritten(std::uint16_t offset) const;

 private:
  CPortRoad* inner_;
  std::uint8_t fixedStatus_ = 0;
  std::vector<PortAccessRecord> records_;
};
