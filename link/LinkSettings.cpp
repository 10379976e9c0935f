#include "LinkSettings.h"

#include "Messages.h"
#include "VmuLink.h"

void ApplyLinkSettings(const LinkSettings& settings, CVmuLink& link) {
  if (link.GetPortAccess() == PortAccess::Simulated) {
    // A card image keeps its road whatever the port, and needs no settling time.
    link.SetTimeout(TimeoutMicroseconds(settings.timeoutSeconds));
    link.SetDelayFactor(0);
    return;
  }
  if (settings.port > 0xFFFF) {
    link.DisablePort(
        Result::Failure(Fill(message::kStoredPortInvalid, {std::to_string(settings.port)})));
  } else {
    link.SetPort(static_cast<std::uint16_t>(settings.port));
  }
  link.SetTimeout(TimeoutMicroseconds(settings.timeoutSeconds));
  link.SetDelayFactor(settings.delayFactor);
}
