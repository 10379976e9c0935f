#include "PortAccess.h"

const char* PortAccessName(PortAccess access) {
  switch (access) {
    case PortAccess::Direct:
      return "direct";
    case PortAccess::Ppdev:
      return "ppdev";
    case PortAccess::Simulated:
      return "simulated";
    case PortAccess::None:
      break;
  }
  return "none";
}
