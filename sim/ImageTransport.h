#pragma once

#include <cstdint>

#include "CardTransport.h"
#include "SimulatedCard.h"

// A card image read and written as block storage, without the wire: blocks
// come from the simulated card's memory, which holds the image, and go
// through it to the file at once, as the simulated card stores a write unit.
// The image's lock, its read-only refusal, its sync after a command and its
// page count are the simulated card's. The card is not owned: it outlives
// the transport.
class CImageTransport : public CCardTransport {
 public:
  explicit CImageTransport(CSimulatedCard& card) : card_(card) {}

  std::uint32_t GetPageCount() const override { return card_.GetPageCount(); }
  std::uint32_t GetSelectedPage() const override { return card_.GetSelectedPage(); }
  // A page past the image's is refused; the front ends say so first.
  bool SelectPage(std::uint16_t page) override;

  bool ReadBlocks(std::uint32_t first, std::uint32_t count, std::uint8_t* storage) override;
  bool WriteBlock(std::uint32_t block, const std::uint8_t* storage) override;
  bool ReadPageBytes(std::uint32_t offset, std::uint8_t* wire, std::uint32_t length) override;
  bool WritePageBytes(std::uint32_t offset, const std::uint8_t* wire,
                      std::uint32_t length) override;
  // Backup reads in the wire's steps, so that its progress goes alike;
  // restore writes a block a step.
  std::uint32_t GetPageReadStep() const override;
  std::uint32_t GetPageWriteStep() const override;

 private:
  // Whether the bytes lie within a page, in whole groups of four.
  static bool OnPage(std::uint32_t offset, std::uint32_t length);

  CSimulatedCard& card_;
};
