#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "AdapterCard.h"
#include "AdapterClock.h"
#include "AdapterSession.h"
#include "ByteChannel.h"
#include "CardSlot.h"
#include "CardTransport.h"

// A card in one slot of a USB adapter as the card storage's transport: one
// page, a block a request. Backup and restore move a block a step, so that
// Cancel is offered between any two blocks. A failure keeps the adapter's
// own message (the block that was not written, the reason the card gave).
// The transport owns the channel, and the session and card over it.
class CAdapterTransport : public CCardTransport {
 public:
  CAdapterTransport(std::unique_ptr<CByteChannel> channel, CAdapterClock& clock, CardSlot slot);

  CAdapterSession& GetSession() { return session_; }
  CAdapterCard& GetCard() { return *card_; }
  // The card in another slot from now on, once the session has found it.
  void UseSlot(CardSlot slot);

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
  // The channel's loss: a card behind a lost connection cannot be reached.
  const Result& GetPortProblem() const override { return channel_->GetLoss(); }
  bool ShowsCardAsDrive() const override { return channel_->ShowsCardsAsDrive(); }

 private:
  bool Failed(const Result& result);
  bool Refuse();  // a request past the page
  // Whether the bytes are whole blocks of the page.
  static bool WholeBlocks(std::uint32_t offset, std::uint32_t length);

  std::unique_ptr<CByteChannel> channel_;
  CAdapterSession session_;
  std::unique_ptr<CAdapterCard> card_;
  std::string lastMessage_;  // the message of the last failure, for its code
};
