#pragma once

#include <iosfwd>
#include <vector>

#include "AdapterCards.h"
#include "UsbAdapters.h"

// korvantis-cli adapters: each USB adapter attached, with its serial number,
// its firmware and the cards in its controller ports' slots, one line each.
// An adapter that cannot be asked (too old, taken by another program, no
// permission) is listed with the reason. 0 when every adapter was asked, 1
// when none is attached or one could not be.
int ListAdapters(std::ostream& out, std::ostream& err);

// The same over the adapters given and a way to ask one for its cards.
int ListAdapters(const std::vector<UsbAdapter>& attached, const FindAdapterCards& findCards,
                 std::ostream& out, std::ostream& err);
