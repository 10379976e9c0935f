#include "LinkSettings.h"

#include <limits>

#include "Messages.h"
#include "VmuLink.h"

std::uint32_t TimeoutMicroseconds(std::uint32_t seconds) {
  constexpr std::uint32_t kLongest = std::numeric_limits<std::uint32_t>::max();
  return seconds > kLongest / 1000000u ? kLongest : seconds * 1000000u;
}

void ApplyLinkSettings(const LinkSettings& settings, CVmuLink& link) {
  if (link.GetPortAccess() == PortAccess::Simulated) {
    // A card image keeps its road whatever the port, and needs no settling time.
    link.SetTimeout(TimeoutMicroseconds(settings.timeoutSeconds));
    link.SetDelayFactor(0);
    return;
  }
  if (settings.port > 0xFFFF) {
    link.DisablePort(Fill(message::kStoredPortInvalid, {std::to_string(settings.port)}));
  } else {
    link.SetPort(static_cast<std::uint16_t>(settings.port));
  }
  link.SetTimeout(TimeoutMicroseconds(settings.timeoutSeconds));
  link.SetDelayFactor(settings.delayFactor);
}
