#pragma once

#include <cstdint>
#include <memory>

#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuCard.h"

// The card object the targets drive: the real link over the simulated card,
// with no bit delay and a short timeout, since the simulated card answers at once.
inline std::unique_ptr<CVmuCard> FuzzCardOn(CSimulatedCard& sim) {
  constexpr std::uint32_t kTimeout = 2000;  // microseconds
  auto card = std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(sim));
  card->GetLink()->SetDelayFactor(0);
  card->GetLink()->SetTimeout(kTimeout);
  return card;
}
