#include "LinkSettings.h"

#include <limits>

#include "VmuLink.h"

std::uint32_t TimeoutMicroseconds(std::uint32_t seconds) {
  constexpr std::uint32_t kLongest = std::numeric_limits<std::uint32_t>::max();
  return seconds > kLongest / 1000000u ? kLongest : seconds * 1000000u;
}

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
