#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AdapterClock.h"
#include "AdapterFaults.h"
#include "ByteChannel.h"
#include "CardImageFile.h"
#include "FileCalls.h"
#include "MapleFrame.h"
#include "Result.h"

// The USB adapter with a controller in each of its four ports, as the
// session sees it through the byte channel: it frames and checks packets as
// the adapter's firmware does (a packet with a bad CRC gets no reply),
// echoes return addresses, answers the interface version, port states and
// attached devices, and passes storage frames to the cards in its slots,
// each one page of 131,072 bytes in the order of a .bin image, held in
// memory or taken from an image file and written back to it. Write frames
// that come less than 10 ms apart by its clock are asked for again (0xFC),
// as a card asks. Faults are injected on request (AdapterFaults).
class CSimulatedAdapter : public CByteChannel {
 public:
  static constexpr std::int64_t kWritePause = 10000;  // microseconds between write frames

  // The clock is the one the session uses, so that a read with nothing to
  // give sleeps until its deadline and a test never waits.
  explicit CSimulatedAdapter(CAdapterClock& clock);
  ~CSimulatedAdapter() override;

  // A card in slot, its page given in storage order (empty: every byte
  // 0xFF); a card already there is taken out first.
  void InsertCard(CardSlot slot, std::vector<std::uint8_t> page = {});
  // A card whose page is the first of an image file (CCardImageFile), every
  // written part stored in the file too. A failure changes nothing. A part
  // the image cannot take (a full disk) is stored in neither, the file's
  // bytes put back as far as the disk lets them, and the Write that carried
  // it fails with the image's reason: no reply comes, and the card's road
  // stops there rather than trying again.
  Result InsertImage(CardSlot slot, const std::string& path, ImageAccess access,
                     const FileCalls& calls = RealFileCalls());
  // Whether the card's image may be written: the image's own refusal, before
  // a command that would change the card starts.
  Result CheckWritable(CardSlot slot) const;
  // A file saved at path must not replace a card's image file, which the
  // adapter goes on writing (the same file by any name or link).
  Result CheckOutput(const std::string& path) const;
  // The slot is empty from now on: storage frames to it fail (0x0F, 4).
  void RemoveCard(CardSlot slot);
  // The card's page in storage order; null for an empty slot.
  const std::uint8_t* GetPage(CardSlot slot) const;
  // What was written to image files reaches the disk.
  Result Sync();

  // The zero bytes that flush an earlier session and a null packet (address
  // 0), which an adapter may send when a program connects.
  void Connect();
  // The adapter also shows its cards as a USB drive (mass storage switched on).
  void ShowCardsAsDrive(bool shown);

  AdapterFaults& Faults();
  struct Counters {
    std::uint64_t requests = 0;     // well-formed packets taken
    std::uint64_t badPackets = 0;   // packets dropped for their size or CRC
    std::uint64_t blockReads = 0;   // storage reads answered
    std::uint64_t writeFrames = 0;  // write and commit frames acknowledged
    std::uint64_t transmitAgain = 0;
  };
  const Counters& GetCounters() const;
  // Also restarts the count the faults' `from` refers to.
  void ResetCounters();

  Result Write(const std::uint8_t* bytes, std::size_t size) override;
  Result Read(std::vector<std::uint8_t>& arrived, std::int64_t deadline) override;
  const Result& GetLoss() const override;
  bool ShowsCardsAsDrive() const override;

 private:
  struct State;
  Result Unplugged();
  std::unique_ptr<State> state_;
};
