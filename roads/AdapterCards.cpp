#include "AdapterCards.h"

#include <memory>

#include "AdapterSession.h"
#include "UsbChannel.h"

std::vector<AdapterCards> AskAdapters(const std::vector<UsbAdapter>& attached,
                                      const FindAdapterCards& findCards) {
  std::vector<AdapterCards> answers;
  for (const UsbAdapter& adapter : attached) {
    AdapterCards answer;
    answer.adapter = adapter;
    UsbAdapter usable;
    answer.asked = ChooseUsbAdapter({adapter}, adapter.serial, usable);
    if (answer.asked) answer.asked = findCards(adapter, answer.cards);
    if (!answer.asked) answer.cards.clear();
    answers.push_back(std::move(answer));
  }
  return answers;
}

Result FindCardsOverUsb(const UsbAdapter& adapter, std::vector<CardSlot>& cards) {
  std::unique_ptr<CUsbChannel> channel;
  CAdapterClock& clock = CSteadyAdapterClock::Instance();
  if (Result opened = CUsbChannel::Open(adapter.serial, clock, channel); !opened) return opened;
  CAdapterSession session(*channel, clock);
  return session.FindCards(cards);
}

Result FindAttachedCards(std::vector<AdapterCards>& found) {
  std::vector<UsbAdapter> attached;
  if (Result listed = FindUsbAdapters(attached); !listed) return listed;
  found = AskAdapters(attached, FindCardsOverUsb);
  return Result();
}
