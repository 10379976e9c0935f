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

// Passes every access on to another road and keeps a record of it, so tests
// can read what was on the wire.
class CRecordingPortRoad : public CPortRoad {
 public:
  explicit CRecordingPortRoad(CPortRoad* inner) : inner_(inner) {}

  std::uint8_t ReadRegister(std::uint16_t offset) override;
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override;
  PortAccess GetAccess() const override { return inner_->GetAccess(); }
  Result TakeFailure() override { return inner_->TakeFailure(); }

  const std::vector<PortAccessRecord>& GetRecords() const { return records_; }
  void Clear() { records_.clear(); }

  std::size_t CountAccesses(bool write, std::uint16_t offset) const;
  // The values written to a register, in order.
  std::vector<std::uint8_t> Written(std::uint16_t offset) const;

 private:
  CPortRoad* inner_;
  std::vector<PortAccessRecord> records_;
};
