#pragma once

#include <memory>
#include <string>

#include "AdapterClock.h"
#include "CardTransport.h"
#include "Result.h"
#include "SimulatedAdapter.h"

// The card that --usb names: in a slot of the USB adapter with that serial
// number (or the only adapter), or, for "sim:FILE", in a slot of a simulated
// adapter that holds FILE's one page (A1 unless --slot says otherwise), held
// alone when the command changes the card, refused then when it is
// read-only, and shared otherwise. The
// slot is the one named, else the only card there is. simulated is set for
// a simulated adapter, whose image must be synced after the command; the
// transport owns it.
Result OpenAdapterRoad(const std::string& usb, const std::string& slot, bool changesCard,
                       CAdapterClock& clock, std::unique_ptr<CCardTransport>& transport,
                       CSimulatedAdapter*& simulated);
