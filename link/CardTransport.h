#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "CardFormat.h"
#include "Result.h"
#include "StatusCodes.h"

// How the card storage reaches a card: blocks of the selected page, whole
// pages for backup and restore, and the page select, whatever carries them
// (the parallel link, a card image read as a file). Each call fails with a
// status code (StatusCodes.h), kept until the next failure, whose text
// MessageFor gives. Blocks travel in storage order, the order the cache and
// the card's records use; page bytes in wire order, the order of a DCM file.
class CCardTransport {
 public:
  virtual ~CCardTransport();

  // How many pages the card holds (4; a one-page image holds 1), and the one
  // selected last, from 0 (a card put in starts on its first).
  virtual std::uint32_t GetPageCount() const = 0;
  virtual std::uint32_t GetSelectedPage() const = 0;
  virtual bool SelectPage(std::uint16_t page) = 0;

  // count blocks from first, or one block, of the selected page.
  virtual bool ReadBlocks(std::uint32_t first, std::uint32_t count, std::uint8_t* storage) = 0;
  virtual bool WriteBlock(std::uint32_t block, const std::uint8_t* storage) = 0;

  // Backup reads the selected page in steps of GetPageReadStep bytes and
  // restore writes it in steps of GetPageWriteStep, one call each, with the
  // progress window's Cancel between them.
  virtual bool ReadPageBytes(std::uint32_t offset, std::uint8_t* wire, std::uint32_t length) = 0;
  virtual bool WritePageBytes(std::uint32_t offset, const std::uint8_t* wire,
                              std::uint32_t length) = 0;
  virtual std::uint32_t GetPageReadStep() const = 0;
  virtual std::uint32_t GetPageWriteStep() const = 0;

  // The code of the most recent failure; successes leave it as it was.
  std::uint32_t GetLastStatus() const { return lastStatus_; }
  // Why what carries the card failed underneath (status 21004): the
  // system's own words, such as a full disk under a card image.
  const std::string& GetLastReason() const { return lastReason_; }
  // The text the user is shown for a status code, with the reason filled in.
  virtual std::string MessageFor(std::uint32_t code) const;
  // The failure of a status code: its message, with the code.
  Result Failure(std::uint32_t code) const { return Result::Failure(MessageFor(code), code); }
  // Why the card cannot be reached at all, such as a port that cannot be
  // opened; done where there is no such problem.
  virtual const Result& GetPortProblem() const;
  // Whether the computer may also write the card behind our back: a card the
  // USB adapter shows as a USB drive too. The front ends warn before a write.
  virtual bool ShowsCardAsDrive() const { return false; }

 protected:
  // Whether count blocks from first lie on a page: a transport's one bounds
  // check before it reads or writes blocks.
  static bool BlocksOnPage(std::uint32_t first, std::uint32_t count) {
    constexpr std::uint32_t kBlocks = card_format::kPageSize / card_format::kBlockSize;
    return first <= kBlocks && count <= kBlocks - first;
  }
  bool Fail(std::uint32_t code) {
    lastStatus_ = code;
    return false;
  }
  // Fails with 21004 and its reason.
  bool FailNotStored(std::string reason) {
    lastReason_ = std::move(reason);
    return Fail(status::kNotStored);
  }

 private:
  std::uint32_t lastStatus_ = status::kNoError;
  std::string lastReason_;
};
