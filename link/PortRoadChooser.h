#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "PortRoad.h"
#include "Result.h"
#include "SystemCalls.h"

struct PortRoadChoice {
  std::unique_ptr<CPortRoad> road;  // never empty: the no-access road when nothing else works
  Result problem;                   // why no real port could be reached; done when one was
};

// Picks a road to the port at a base address. The link asks once its port is
// known, and again whenever the port address changes.
using PortRoadChooser = std::function<PortRoadChoice(std::uint16_t base)>;

// ppdev first (a /dev/parportN with that base address), then the processor's
// port instructions where a port answers the probe, else no access with the
// reason.
PortRoadChoice ChoosePortRoad(std::uint16_t base, const SystemCalls& calls);

// ChoosePortRoad with this machine's calls.
PortRoadChooser SystemPortRoadChooser();
