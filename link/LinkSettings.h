#pragma once

#include <cstdint>
#include <limits>
#include <string>

class CVmuLink;

// The three stored numbers that govern the link, as the user and the settings
// file hold them, with the defaults used when a value is absent. The link
// starts on the same port and timeout.
struct LinkSettings {
  static constexpr std::uint16_t kDefaultPort = 888;  // 0x378, LPT1
  static constexpr std::uint32_t kDefaultTimeoutSeconds = 5;
  static constexpr std::uint32_t kDefaultDelayFactor = 1;  // microseconds

  std::uint32_t port = kDefaultPort;  // the parallel port's base address
  std::uint32_t timeoutSeconds = kDefaultTimeoutSeconds;
  std::uint32_t delayFactor = kDefaultDelayFactor;
};

// Seconds as the link's microseconds; a timeout too long for 32 bits of
// microseconds becomes the longest one instead of wrapping to a short one.
constexpr std::uint32_t TimeoutMicroseconds(std::uint32_t seconds) {
  constexpr std::uint32_t kLongest = std::numeric_limits<std::uint32_t>::max();
  return seconds > kLongest / 1000000u ? kLongest : seconds * 1000000u;
}

// Gives the link the stored settings. A port above 65,535 is no I/O address:
// the link then reaches no port, and the reason is the link's port problem.
// A link to a simulated card takes only the timeout: it keeps its road and
// runs without a bit delay.
void ApplyLinkSettings(const LinkSettings& settings, CVmuLink& link);
