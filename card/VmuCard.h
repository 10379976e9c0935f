#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "CardTransport.h"
#include "PortRoad.h"
#include "VmuChain.h"
#include "VmuLink.h"
#include "VmuMemory.h"
#include "VmuRegion.h"
#include "VmuRootBlock.h"

class CVmuBuffer;

// The one object through which the program reaches the card: it owns the
// card's transport, the block cache of the selected page and the root block, reads and
// writes directory entries, hands out regions over files, and keeps the status
// code of its last failure for the commands to show.
class CVmuCard {
 public:
  static constexpr std::uint32_t kBlockCount = card_format::kBlocksPerPage;

  // The port at the default address, by the best road this machine offers.
  CVmuCard();
  // A given road (the simulated card, the tests).
  explicit CVmuCard(std::unique_ptr<CPortRoad> road);
  // A transport made by the caller: a link (the tests, with a counter they
  // control), a card image read as a file.
  explicit CVmuCard(std::unique_ptr<CCardTransport> transport);
  virtual ~CVmuCard();  // writes nothing: unflushed changes are lost

  CVmuCard(const CVmuCard&) = delete;
  CVmuCard& operator=(const CVmuCard&) = delete;

  bool ReadDirEntry(std::uint16_t n, CVmuBuffer& entry);
  // Into the cache only; the card is written at the next Flush.
  bool WriteDirEntry(std::uint16_t n, const CVmuBuffer& entry);

  // How many directory slots there are: every entry of the directory's
  // blocks, whatever the root's entry count says. A file in any of them is
  // listed, read, checked and deleted.
  bool GetEntryCount(std::uint16_t& out);
  // How many of the first slots a new file may take: the root's entry count,
  // as the console keeps it, but never more than there are slots.
  bool GetNewEntryLimit(std::uint16_t& out);
  // Brings the directory's blocks into the cache in one transfer when none
  // is cached yet, so that a command that looks at every slot makes one
  // transaction for them, not one a block.
  bool ReadDirectory();

  // The allocation chain of a file of size blocks from its first block, with
  // its verdict (CVmuChain). False only when the table cannot be read.
  bool ReadChain(std::uint16_t first, std::uint16_t size, CVmuChain& out);

  // A region over file n's allocation chain. A file whose chain is not sound
  // is not opened: GetChainFault then says why. The region belongs to the caller.
  bool OpenFile(std::uint16_t n, std::unique_ptr<CVmuRegion>& out);
  // A region over count blocks from start downward; refused when the run
  // leaves the page.
  bool MakeRegion(std::uint16_t start, std::uint16_t count, std::unique_ptr<CVmuRegion>& out);
  // A region over the given blocks in this order; refused when one is off the page.
  bool MakeRegion(const std::vector<std::uint16_t>& blocks, std::unique_ptr<CVmuRegion>& out);
  bool CloseFile(std::unique_ptr<CVmuRegion>& region);

  bool Flush();
  // Drops every cached block and the page layout read from the root block.
  bool Invalidate();
  // Drops the changes the cache has not stored on the card, so that no later
  // command writes them; what was stored or only read stays cached.
  void DiscardChanges();

  std::uint32_t GetLastError() const { return lastError_; }
  // The text the user is shown for a status code of the card or a layer
  // under it, with the transport's reason filled in where the code carries one.
  std::string MessageFor(std::uint32_t code) const { return transport_->MessageFor(code); }
  // The failure of such a code, with its message; the commands show it (Fail).
  Result Failure(std::uint32_t code) const { return transport_->Failure(code); }
  // The failure of the card object's own last error.
  Result LastFailure() const { return Failure(lastError_); }
  // The chain of the file the last OpenFile refused as damaged, whose fault
  // says why (ChainFaultText); a sound chain when it refused none.
  const CVmuChain& GetChainFault() const { return chainFault_; }
  CCardTransport& GetTransport() const { return *transport_; }
  // Whether the computer also sees the card as a USB drive (CCardTransport).
  bool ShowsCardAsDrive() const { return transport_->ShowsCardAsDrive(); }
  // The parallel link, when that is the transport; null otherwise.
  CVmuLink* GetLink() const { return link_; }
  CVmuRootBlock* GetRootBlock() const { return rootBlock_.get(); }
  CVmuMemory* GetCache() const { return cache_.get(); }

 private:
  bool Fail(std::uint32_t code);
  bool GetDirectory(CVmuDirectory*& directory);
  static bool RunIsOnPage(std::uint16_t start, std::uint32_t count);

  std::unique_ptr<CCardTransport> transport_;
  CVmuLink* link_ = nullptr;  // transport_, when it is the parallel link
  std::unique_ptr<CVmuMemory> cache_;
  std::unique_ptr<CVmuRootBlock> rootBlock_;
  std::uint32_t lastError_ = status::kNoError;
  CVmuChain chainFault_;
};

// Discards the card's unwritten changes when a command ends without having
// finished, whichever way it leaves: a failed or cancelled command leaves
// nothing in the cache for a later command to write.
class CDiscardUnlessFinished {
 public:
  explicit CDiscardUnlessFinished(CVmuCard& card) : card_(card) {}
  ~CDiscardUnlessFinished() {
    if (!finished_) card_.DiscardChanges();
  }
  CDiscardUnlessFinished(const CDiscardUnlessFinished&) = delete;
  CDiscardUnlessFinished& operator=(const CDiscardUnlessFinished&) = delete;

  void Finished() { finished_ = true; }

 private:
  CVmuCard& card_;
  bool finished_ = false;
};
