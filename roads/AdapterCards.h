#pragma once

#include <functional>
#include <vector>

#include "CardSlot.h"
#include "Result.h"
#include "UsbAdapters.h"

// An adapter attached and the cards in its controller ports' slots, or why
// it could not be asked (too old, taken by another program, no permission).
struct AdapterCards {
  UsbAdapter adapter;
  Result asked;
  std::vector<CardSlot> cards;
};

// Asks one adapter for its cards.
using FindAdapterCards = std::function<Result(const UsbAdapter&, std::vector<CardSlot>&)>;

// Each adapter of attached with its cards, in the same order; one whose
// firmware is too old is never opened.
std::vector<AdapterCards> AskAdapters(const std::vector<UsbAdapter>& attached,
                                      const FindAdapterCards& findCards);

// Asks the adapter attached over libusb, on the real clock.
Result FindCardsOverUsb(const UsbAdapter& adapter, std::vector<CardSlot>& cards);

// Every adapter attached and its cards, over libusb; a failure when the USB
// devices cannot be listed at all. None attached is no failure.
Result FindAttachedCards(std::vector<AdapterCards>& found);
