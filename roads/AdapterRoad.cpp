#include "AdapterRoad.h"

#include <algorithm>

#include "AdapterTransport.h"
#include "Messages.h"
#include "UsbChannel.h"

namespace {
const std::string kSimulated = "sim:";

// The slot named, or the only card; a message for an empty slot, none or several.
Result ChooseSlot(const std::vector<CardSlot>& cards, const std::string& named, CardSlot& chosen) {
  if (!named.empty()) {
    CardSlot::FromName(named, chosen);
    if (std::find(cards.begin(), cards.end(), chosen) != cards.end()) return Result();
    return Result::Failure(Fill(message::kUsbSlotEmpty, {chosen.Name()}));
  }
  if (cards.empty()) return Result::Failure(message::kUsbNoCard.text);
  if (cards.size() > 1) {
    std::string slots;
    for (const CardSlot& card : cards)
      slots += (slots.empty() ? "" : ", ") + card.Name();
    return Result::Failure(Fill(message::kUsbSeveralCards, {slots}));
  }
  chosen = cards.front();
  return Result();
}
}  // namespace

Result OpenAdapterRoad(const std::string& usb, const std::string& slot, ImageAccess access,
                       CAdapterClock& clock, std::unique_ptr<CCardTransport>& transport,
                       CSimulatedAdapter*& simulated, AdapterRoadCard* chosenCard,
                       const FileCalls& calls) {
  std::unique_ptr<CByteChannel> channel;
  std::string serial = usb;
  simulated = nullptr;
  if (std::string path; NamesSimulatedAdapter(usb, path)) {
    auto adapter = std::make_unique<CSimulatedAdapter>(clock);
    CardSlot where;
    if (slot.empty() || !CardSlot::FromName(slot, where)) where = CardSlot{0, 1};
    Result inserted = adapter->InsertImage(where, path, access, calls);
    if (inserted && access == ImageAccess::Write) inserted = adapter->CheckWritable(where);
    if (!inserted) return inserted;
    adapter->Connect();
    simulated = adapter.get();
    channel = std::move(adapter);
  } else {
    std::unique_ptr<CUsbChannel> opened;
    if (Result result = CUsbChannel::Open(usb, clock, opened); !result) return result;
    serial = opened->GetAdapter().serial;
    channel = std::move(opened);
  }
  auto road = std::make_unique<CAdapterTransport>(std::move(channel), clock, CardSlot{});
  std::vector<CardSlot> cards;
  CardSlot chosen;
  Result result = road->GetSession().FindCards(cards);
  if (result) result = ChooseSlot(cards, slot, chosen);
  if (!result) {
    simulated = nullptr;
    return result;
  }
  road->UseSlot(chosen);
  transport = std::move(road);
  if (chosenCard != nullptr) *chosenCard = AdapterRoadCard{serial, chosen};
  return Result();
}

bool NamesSimulatedAdapter(const std::string& usb, std::string& image) {
  if (usb.compare(0, kSimulated.size(), kSimulated) != 0) return false;
  image = usb.substr(kSimulated.size());
  return true;
}
