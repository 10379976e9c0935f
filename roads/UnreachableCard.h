#pragma once

#include <string>

#include "CardTransport.h"
#include "Result.h"

// A card that cannot be reached, such as a remembered card on a USB adapter
// that is not attached: every request fails at once with why, which is also
// its port problem, so that the status bar and the first command say it and
// nothing waits.
class CUnreachableCard : public CCardTransport {
 public:
  explicit CUnreachableCard(Result why);

  std::uint32_t GetPageCount() const override { return 1; }
  std::uint32_t GetSelectedPage() const override { return 0; }
  bool SelectPage(std::uint16_t page) override;
  bool ReadBlocks(std::uint32_t first, std::uint32_t count, std::uint8_t* storage) override;
  bool WriteBlock(std::uint32_t block, const std::uint8_t* storage) override;
  bool ReadPageBytes(std::uint32_t offset, std::uint8_t* wire, std::uint32_t length) override;
  bool WritePageBytes(std::uint32_t offset, const std::uint8_t* wire,
                      std::uint32_t length) override;
  std::uint32_t GetPageReadStep() const override;
  std::uint32_t GetPageWriteStep() const override;
  std::string MessageFor(std::uint32_t code) const override;
  const Result& GetPortProblem() const override { return why_; }

 private:
  bool Refuse();

  Result why_;
};
