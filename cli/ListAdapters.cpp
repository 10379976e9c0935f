#include "ListAdapters.h"

#include <ostream>

#include "Messages.h"

int ListAdapters(const std::vector<UsbAdapter>& attached, const FindAdapterCards& findCards,
                 std::ostream& out, std::ostream& err) {
  if (attached.empty()) {
    err << message::kUsbNoAdapter.text << '\n';
    return 1;
  }
  int status = 0;
  for (const AdapterCards& answer : AskAdapters(attached, findCards)) {
    const UsbAdapter& adapter = answer.adapter;
    out << (adapter.serial.empty() ? "?" : adapter.serial) << "  firmware "
        << FirmwareText(adapter.firmware) << (adapter.showsDrive ? "  also a USB drive" : "");
    if (!answer.asked) {
      out << "  " << answer.asked.Message() << '\n';
      status = 1;
      continue;
    }
    out << "  cards:";
    for (const CardSlot& card : answer.cards)
      out << ' ' << card.Name();
    out << (answer.cards.empty() ? " none\n" : "\n");
  }
  return status;
}

int ListAdapters(std::ostream& out, std::ostream& err) {
  std::vector<UsbAdapter> attached;
  if (Result found = FindUsbAdapters(attached); !found) {
    err << found.Message() << '\n';
    return 1;
  }
  return ListAdapters(attached, FindCardsOverUsb, out, err);
}
