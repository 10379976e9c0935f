#pragma once

#include <cstdint>
#include <string>

class CVmuLink;

// The three stored numbers that govern the link, as the user and the settings
// file hold them, with the defaults used when a value is absent.
struct LinkSettings {
  std::uint32_t port = 888;  // the parallel port's base address (0x378, LPT1)
  std::uint32_t timeoutSeconds = 5;
  std::uint32_t delayFactor = 1;  // microseconds
};

// Seconds as the link's microseconds; a timeout too long for 32 bits of
// microseconds becomes the longest one instead of wrapping to a short one.
std::uint32_t TimeoutMicroseconds(std::uint32_t seconds);

// Gives the link the stored settings. A port above 65,535 is no I/O address:
// the link then reaches no port, and the reason is the link's port problem.
// A link to a simulated card takes only the timeout: it keeps its road and
// runs without a bit delay.
void ApplyLinkSettings(const LinkSettings& settings, CVmuLink& link);
