#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AdapterClock.h"
#include "CardSlot.h"
#include "FileCalls.h"
#include "Result.h"
#include "SimulatedAdapter.h"
#include "SimulatedCard.h"
#include "VmuCard.h"

// How a card image is reached: read and written as a file, or through the
// simulated parallel wire, which a wire trace needs.
enum class ImageRoad { File, Wire };

// The card the desktop program works on: a card object over the parallel
// port, over a simulated card whose memory is a card image file, or over a
// card in a slot of a USB adapter.
struct CardSource {
  std::unique_ptr<CSimulatedCard> simulated;  // the image's card; must outlive the card object
  std::unique_ptr<CVmuCard> card;
  std::string imagePath;  // empty on the port
  // On a USB adapter: its serial number ("sim:FILE" for a simulated one,
  // whose image the card's transport holds), and the card's slot.
  std::string usbSerial;  // empty elsewhere
  CardSlot usbSlot;
  CSimulatedAdapter* simulatedAdapter = nullptr;  // owned by the card's transport
};

// Fills an empty source with a card object over the card image at path
// (.dcm, .bin, .vmu or .vmd), reached by road. A file that cannot be a card
// image changes nothing.
Result OpenCardImage(const std::string& path, CardSource& source, ImageRoad road = ImageRoad::File);

// Fills an empty source with a card object over the card a --usb value names
// (OpenAdapterRoad): in the slot named, else the only card. A simulated
// adapter's image is held as images are, written where it may be. A failure
// changes nothing; calls reach the image file.
Result OpenAdapterCard(const std::string& usb, const std::string& slot, CAdapterClock& clock,
                       CardSource& source, const FileCalls& calls = RealFileCalls());

// Fills an empty source with the card in slot of the adapter usb names as
// one that cannot be reached, failing every command with why.
void UseUnreachableAdapterCard(const std::string& usb, CardSlot slot, Result why,
                               CardSource& source);

// Asks the adapter that holds the source's card for the cards in its
// slots over the card's own connection, which a second one would find
// taken; false when the card is not on a USB adapter.
bool FindCardsBeside(const CardSource& source, Result& asked, std::vector<CardSlot>& cards);

// The card's name in the title bar and the File menu: "A1 on adapter
// SERIAL", or the simulated adapter's file.
std::string AdapterCardName(const std::string& usb, CardSlot slot);
