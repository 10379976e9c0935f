#include "CardTransport.h"

#include "Messages.h"

CCardTransport::~CCardTransport() = default;

std::string CCardTransport::MessageFor(std::uint32_t code) const {
  if (code == status::kNotStored) return Fill(message::kNotStored, {lastReason_});
  return StatusMessage(code);
}

const Result& CCardTransport::GetPortProblem() const {
  static const Result kNone;
  return kNone;
}
