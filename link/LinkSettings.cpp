#include "LinkSettings.h"

#include "VmuLink.h"

void ApplyLinkSettings(const LinkSettings& settings, CVmuLink& link) {
  if (settings.port > 0xFFFF) {
    link.DisablePort("The stored port address " + std::to_string(settings.port) +
                     " is not a port address (0 to 65535). Correct it in the Settings.");
  } else {
    link.SetPort(static_cast<std::uint16_t>(settings.port));
  }
  link.SetTimeout(TimeoutMicroseconds(settings.timeoutSeconds));
  link.SetDelayFactor(settings.delayFactor);
}
