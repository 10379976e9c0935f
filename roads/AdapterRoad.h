#pragma once

#include <memory>
#include <string>

#include "AdapterClock.h"
#include "CardImageFile.h"
#include "CardSlot.h"
#include "CardTransport.h"
#include "FileCalls.h"
#include "Result.h"
#include "SimulatedAdapter.h"

// The card that --usb names: in a slot of the USB adapter with that serial
// number (or the only adapter), or, for "sim:FILE", in a slot of a simulated
// adapter that holds FILE's one page (A1 unless --slot says otherwise),
// opened with access: Write refuses a read-only image at once, Read shares
// it, WriteIfAllowed leaves the refusal to each command (CheckWritable). The
// slot is the one named, else the only card there is. simulated is set for
// a simulated adapter, whose image must be synced after each command; the
// transport owns it. chosen, if given, learns the adapter's serial number
// (usb itself for a simulated one) and the slot; calls reach the image file.
struct AdapterRoadCard {
  std::string serial;
  CardSlot slot;
};
Result OpenAdapterRoad(const std::string& usb, const std::string& slot, ImageAccess access,
                       CAdapterClock& clock, std::unique_ptr<CCardTransport>& transport,
                       CSimulatedAdapter*& simulated, AdapterRoadCard* chosen = nullptr,
                       const FileCalls& calls = RealFileCalls());

// Whether usb names a simulated adapter ("sim:FILE"), and then FILE.
bool NamesSimulatedAdapter(const std::string& usb, std::string& image);
