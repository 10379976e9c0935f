#include "RecordingPortRoad.h"

std::uint8_t CRecordingPortRoad::ReadRegister(std::uint16_t offset) {
  const std::uint8_t value = inner_->ReadRegister(offset);
  records_.push_back({false, offset, value});
  return value;
}

void CRecordingPortRoad::WriteRegister(std::uint16_t offset, std::uint8_t value) {
  inner_->WriteRegister(offset, value);
  records_.push_back({true, offset, value});
}

std::size_t CRecordingPortRoad::CountAccesses(bool write, std::uint16_t offset) const {
  std::size_t count = 0;
  for (const auto& record : records_)
    count += record.write == write && record.offset == offset;
  return count;
}

std::vector<std::uint8_t> CRecordingPortRoad::Written(std::uint16_t offset) const {
  std::vector<std::uint8_t> values;
  for (const auto& record : records_)
    if (record.write && record.offset == offset) values.push_back(record.value);
  return values;
}
