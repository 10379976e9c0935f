#include "CardSource.h"

#include "AdapterRoad.h"
#include "AdapterTransport.h"
#include "ImageTransport.h"
#include "Messages.h"
#include "SimulatedPortRoad.h"
#include "UnreachableCard.h"

Result OpenCardImage(const std::string& path, CardSource& source, ImageRoad road) {
  auto simulated = std::make_unique<CSimulatedCard>();
  const Result opened = simulated->OpenImage(path, ImageAccess::WriteIfAllowed);
  if (!opened) return opened;
  source.simulated = std::move(simulated);
  if (road == ImageRoad::Wire) {
    source.card =
        std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(*source.simulated));
  } else {
    source.card = std::make_unique<CVmuCard>(std::make_unique<CImageTransport>(*source.simulated));
  }
  source.imagePath = path;
  return Result();
}

Result OpenAdapterCard(const std::string& usb, const std::string& slot, CAdapterClock& clock,
                       CardSource& source, const FileCalls& calls) {
  std::unique_ptr<CCardTransport> transport;
  CSimulatedAdapter* simulated = nullptr;
  AdapterRoadCard chosen;
  const Result opened = OpenAdapterRoad(usb, slot, ImageAccess::WriteIfAllowed, clock, transport,
                                        simulated, &chosen, calls);
  if (!opened) return opened;
  source.card = std::make_unique<CVmuCard>(std::move(transport));
  source.usbSerial = chosen.serial;
  source.usbSlot = chosen.slot;
  source.simulatedAdapter = simulated;
  return Result();
}

void UseUnreachableAdapterCard(const std::string& usb, CardSlot slot, Result why,
                               CardSource& source) {
  source.card = std::make_unique<CVmuCard>(std::make_unique<CUnreachableCard>(std::move(why)));
  source.usbSerial = usb;
  source.usbSlot = slot;
}

bool FindCardsBeside(const CardSource& source, Result& asked, std::vector<CardSlot>& cards) {
  auto* road = dynamic_cast<CAdapterTransport*>(&source.card->GetTransport());
  if (road == nullptr) return false;
  cards.clear();
  asked = road->GetSession().FindCards(cards);
  return true;
}

std::string AdapterCardName(const std::string& usb, CardSlot slot) {
  std::string path;
  if (!NamesSimulatedAdapter(usb, path)) return Fill(message::kCardOnAdapter, {slot.Name(), usb});
  const std::size_t slash = path.find_last_of('/');
  return Fill(message::kCardOnSimulatedAdapter,
              {slot.Name(), slash == std::string::npos ? path : path.substr(slash + 1)});
}
