#include "RecordingPortRoad.h"

std::uint8_t CRecordingPortRoad::ReadRegister(std::uint16_t offset) {
  const std::uint8_t value = inner_ ? inner_->ReadRegister(offset) : fixedStatus_;
  records_.push_back({false, offset, value});
  return value;
}

void CRecordingPortRoad::WriteRegister(std::uint16_t offset, std::uint8_t value) {
  if (inner_) inner_->WriteRegister(offset, value);
  records_.push_back({true, offset, value});
}

PortAccess CRecordingPortRoad::GetAccess() const {
  return inner_ ? inner_->GetAccess() : PortAccess::None;
}

std::size_t CRecordingPortRoad::CountAccesses(bool write, std::uint16_t offset) const {
  std::size_t count = 0;
  for (const auto& record : records_) {
    if (record.write == write && record.offset == offset) ++count;
  }
  return count;
}

int CRecordingPortRoad::LastWritten(std::uint16_t offset) const {
  for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
    if (it->write && it->offset == offset) return it->value;
  }
  return -1;
}
