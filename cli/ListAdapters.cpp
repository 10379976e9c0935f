#include "ListAdapters.h"

#include <memory>
#include <ostream>

#include "AdapterSession.h"
#include "Messages.h"
#include "UsbChannel.h"

namespace {
Result FindCardsOver(const UsbAdapter& adapter, std::vector<CardSlot>& cards) {
  std::unique_ptr<CUsbChannel> channel;
  CAdapterClock& clock = CSteadyAdapterClock::Instance();
  if (Result opened = CUsbChannel::Open(adapter.serial, clock, channel); !opened) return opened;
  CAdapterSession session(*channel, clock);
  return session.FindCards(cards);
}
}  // namespace

int ListAdapters(const std::vector<UsbAdapter>& attached, const FindAdapterCards& findCards,
                 std::ostream& out, std::ostream& err) {
  if (attached.empty()) {
    err << message::kUsbNoAdapter.text << '\n';
    return 1;
  }
  int status = 0;
  for (const UsbAdapter& adapter : attached) {
    out << (adapter.serial.empty() ? "?" : adapter.serial) << "  firmware "
        << FirmwareText(adapter.firmware) << (adapter.showsDrive ? "  also a USB drive" : "");
    UsbAdapter usable;
    std::vector<CardSlot> cards;
    Result asked = ChooseUsbAdapter({adapter}, adapter.serial, usable);
    if (asked) asked = findCards(adapter, cards);
    if (!asked) {
      out << "  " << asked.Message() << '\n';
      status = 1;
      continue;
    }
    out << "  cards:";
    for (const CardSlot& card : cards)
      out << ' ' << card.Name();
    out << (cards.empty() ? " none\n" : "\n");
  }
  return status;
}

int ListAdapters(std::ostream& out, std::ostream& err) {
  std::vector<UsbAdapter> attached;
  if (Result found = FindUsbAdapters(attached); !found) {
    err << found.Message() << '\n';
    return 1;
  }
  return ListAdapters(attached, FindCardsOver, out, err);
}
