#pragma once

#include <cstdint>

// How the link reaches the port's registers. The first three values are the
// ones the program has always stored and shown; roads added later take new ones.
enum class PortAccess : std::uint16_t {
  None = 0,       // no access: reads give 0, writes do nothing
  Direct = 1,     // the processor's own port instructions
  Library = 3,    // an outside driver library (Windows NT family)
  Ppdev = 4,      // Linux /dev/parportN through the ppdev ioctls
  Simulated = 5,  // a virtual port wired to a simulated card
};

const char* PortAccessName(PortAccess access);
