#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CounterSource.h"
#include "PageImage.h"
#include "RecordingPortRoad.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

// A card object over the real link to a simulated card: no bit delay, a short
// timeout, and every register access recorded so a test can see what crossed
// the wire.
class CCardOnSimulator {
 public:
  // The link's waits read counter (a fake one makes the polls countable).
  explicit CCardOnSimulator(CCounterSource& counter = CSteadyCounter::Instance());

  CSimulatedCard& Sim() { return sim_; }
  CVmuCard& Card() { return *card_; }
  CVmuLink& Link() { return *card_->GetLink(); }
  CRecordingPortRoad& Recorder() { return *recorder_; }
  // Another card object over the same simulated card, with no recording.
  std::unique_ptr<CVmuCard> MakeCard();

  // Puts a storage-order page into the simulated card (which keeps wire order);
  // the card object forgets what it cached, and the transfers so far are dropped.
  void LoadPage(const CPageImage& image, std::uint32_t page = 0);
  // The same, as when the user swaps the card: the card object keeps its cache.
  void SwapCard(const CPageImage& image, std::uint32_t page = 0);
  // The simulated card's page, in storage order.
  CPageImage ReadPage(std::uint32_t page = 0);

  // The transactions since the last call, one word each: "R<block>" for a
  // 512-byte block read, "W<block>/<unit>" for a 128-byte write unit,
  // "P<page>" for a page select, "R@<address>#<length>" for any other read,
  // "?" for a transaction that ended before its address and "-" for an
  // attempt whose handshake the card never answered.
  std::vector<std::string> TakeTransfers();
  // The four write units that store one block, as TakeTransfers names them.
  static std::vector<std::string> BlockStore(std::uint32_t block);

 private:
  CSimulatedCard sim_;
  CSimulatedPortRoad road_{sim_};
  CRecordingPortRoad* recorder_ = nullptr;  // owned by the card's link
  std::unique_ptr<CVmuCard> card_;
};

// A directory entry with every other byte 0.
CVmuDirEntry MakeEntry(std::uint8_t type, std::uint16_t firstBlock, std::uint16_t size);
// Where directory entry n lies on a page whose directory starts at start.
std::uint8_t* EntrySlot(CPageImage& page, std::uint16_t n, std::uint16_t start = 253);

// A page whose every byte is a pseudo-random function of its address and the
// seed, so that no two 32-byte runs on it are alike.
CPageImage NoisePage(std::uint32_t seed);
