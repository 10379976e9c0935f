#pragma once

#include <cstdint>

// How the link reaches the port's registers. The numbers stay as they are;
// 3 is kept free for an outside driver library (Windows NT family), a road
// this build does not have, and a road added later takes a new number.
enum class PortAccess : std::uint16_t {
  None = 0,       // no access: reads give 0, writes do nothing
  Direct = 1,     // the processor's own port instructions
  Ppdev = 4,      // Linux /dev/parportN through the ppdev ioctls
  Simulated = 5,  // a virtual port wired to a simulated card
};

const char* PortAccessName(PortAccess access);
