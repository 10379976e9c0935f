#pragma once

#include <cstdint>
#include <memory>

#include "CardFormat.h"
#include "PortRoad.h"
#include "VmuLink.h"
#include "VmuMemory.h"
#include "VmuRegion.h"
#include "VmuRootBlock.h"

class CVmuBuffer;

// The one object through which the program reaches the card: it owns the
// link, the block cache of the selected page and the root block, reads and
// writes directory entries, hands out regions over files, and keeps the status
// code of its last failure for the commands to show.
class CVmuCard {
 public:
  static constexpr std::uint32_t kBlockCount = card_format::kBlocksPerPage;

  // The port at the default address, by the best road this machine offers.
  CVmuCard();
  // A given road (the simulated card, the tests).
  explicit CVmuCard(std::unique_ptr<CPortRoad> road);
  // A link made by the caller (the tests, with a counter they control).
  explicit CVmuCard(std::unique_ptr<CVmuLink> link);
  virtual ~CVmuCard();  // writes nothing: unflushed changes are lost

  CVmuCard(const CVmuCard&) = delete;
  CVmuCard& operator=(const CVmuCard&) = delete;

  bool ReadDirEntry(std::uint16_t n, CVmuBuffer& entry);
  // Into the cache only; the card is written at the next Flush.
  bool WriteDirEntry(std::uint16_t n, const CVmuBuffer& entry);

  // How many directory entries a walk over the directory may examine: the
  // root's entry count, but never more than the directory's blocks hold.
  bool GetEntryCount(std::uint16_t& out);

  // A region over file n's blocks from its first block downward, ending at
  // block 0 at the latest; refused when the first block is off the page. The
  // region belongs to the caller.
  bool OpenFile(std::uint16_t n, std::unique_ptr<CVmuRegion>& out);
  // A region over count blocks from start downward, refused likewise.
  bool MakeRegion(std::uint16_t start, std::uint16_t count, std::unique_ptr<CVmuRegion>& out);
  bool CloseFile(std::unique_ptr<CVmuRegion>& region);

  bool Flush();
  // Drops every cached block and the page layout read from the root block.
  bool Invalidate();

  std::uint32_t GetLastError() const { return lastError_; }
  CVmuLink* GetLink() const { return link_.get(); }
  CVmuRootBlock* GetRootBlock() const { return rootBlock_.get(); }
  CVmuMemory* GetCache() const { return cache_.get(); }

 private:
  bool Fail(std::uint32_t code);
  bool GetDirectory(CVmuDirectory*& directory);
  static bool RunIsOnPage(std::uint16_t start, std::uint32_t count);

  std::unique_ptr<CVmuLink> link_;
  std::unique_ptr<CVmuMemory> cache_;
  std::unique_ptr<CVmuRootBlock> rootBlock_;
  std::uint32_t lastError_ = status::kNoError;
};
