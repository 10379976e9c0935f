#pragma once

#include <cstdint>
#include <vector>

// What the adapter says is plugged into one controller port: the controller
// and whatever sits in its slots, each as the functions it offers (a
// function code and its definition word). A memory card offers storage (2),
// a screen (4) and a clock (8).
struct PortDevices {
  struct Function {
    std::uint32_t code = 0;
    std::uint32_t definition = 0;
  };
  struct Peripheral {
    std::vector<Function> functions;  // empty: nothing there

    bool Present() const { return !functions.empty(); }
    bool Offers(std::uint32_t code) const;
  };

  Peripheral controller;
  // Slot 1 first; empty ones past the last are left out. (Not "slots",
  // which Qt takes for a keyword.)
  std::vector<Peripheral> held;

  // Whether a card that stores blocks sits in slot (1 to 5).
  bool HasCard(std::uint8_t slot) const;
  // Reads the adapter's answer: for each function '|', its code, '|', its
  // definition (four bytes each, big-endian), peripherals apart by ';', the
  // controller first. False for anything else; devices are then left as
  // they were.
  bool Parse(const std::vector<std::uint8_t>& bytes);
};
