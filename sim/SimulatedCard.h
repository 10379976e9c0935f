#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CardFaults.h"
#include "CardImageFile.h"
#include "FileCalls.h"
#include "Result.h"

// A model of the memory card on the far side of the port's three registers,
// driven only by the register writes and status reads it sees: it answers the
// handshake, shifts one bit each way per clock step, and serves read, 128-byte
// write and page select on four pages of 131,072 bytes. Each page is kept in
// wire order, so a page is byte for byte a DCM backup. Without the wire, a
// card image is read and written through the same memory (CImageTransport).
class CSimulatedCard {
 public:
  // Four erased pages (every byte 0xFF), held in memory only.
  CSimulatedCard();
  virtual ~CSimulatedCard();

  // Takes the card's memory from an image file and writes every completed
  // write unit back to it: 131,072 bytes (one page) or 524,288 bytes (four
  // pages). A .dcm file is in wire order; .bin, .vmu and .vmd files are in
  // storage order (each aligned group of four bytes reversed). access says whether the
  // image is written and locked alone or only read and shared (CCardImageFile).
  // Any other size, or a file that cannot be opened so, is refused with a
  // message and changes nothing. calls are the system calls the image is read,
  // written and synced with.
  Result OpenImage(const std::string& path, ImageAccess access,
                   const FileCalls& calls = RealFileCalls());

  // What the front ends ask before a command, so that the card never takes
  // what its image cannot keep. Each refusal is the message for the user.
  // A page past the image's: "This card image holds one page." (page from 1).
  Result CheckPageNumber(std::uint16_t page) const;
  // A command that changes the card, while the image is open for reading only.
  Result CheckWritable() const;
  // An output (a trace, a download, a backup) that is the image file itself.
  Result CheckOutput(const std::string& path) const;
  // After a command: what it wrote reaches the disk (CCardImageFile::Sync).
  Result SyncImage();
  // 4, or the image's page count; pages past a one-page image live in memory only.
  std::uint32_t GetPageCount() const;

  // The register side, called by the simulated port road.
  void WriteData(std::uint8_t value);
  void WriteControl(std::uint8_t value);
  std::uint8_t ReadStatus();

  // The card without the wire, for CImageTransport and the tests: the pages
  // in wire order, the selected page, and a page select that takes a page
  // the card has (false past the fourth).
  std::uint8_t* GetPage(std::uint32_t page);  // wire order, a whole page; null past the last
  std::uint32_t GetSelectedPage() const;
  bool SelectPage(std::uint32_t page);
  // Stores wire-order bytes in the selected page (offset and length within
  // it) as a write unit is stored:
  // in memory and through to the image, or, where the image cannot take
  // them, in neither, with the image's reason.
  Result StoreBytes(std::uint32_t offset, const std::uint8_t* wire, std::uint32_t length);
  // A transaction runs with the faults set at its handshake; between
  // transactions a change shows at once.
  CardFaults& Faults();
  // Why the last write unit was refused since the last call, then forgets
  // it; done when none was. A unit its image cannot take is refused: it is
  // stored neither in the image nor in memory, and the road tells the link.
  Result TakeRefusal();

  struct Counters {
    std::uint64_t transactions = 0;  // handshakes answered
    std::uint64_t reads = 0;         // completed read transactions
    std::uint64_t writeUnits = 0;    // completed and stored write units
    std::uint64_t pageSelects = 0;   // completed page selects
    std::uint64_t badChecksums = 0;  // transactions whose checksum did not match
  };
  const Counters& GetCounters() const;
  // Also restarts the count that silentAfter and flipTransaction refer to.
  void ResetCounters();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
