#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "PortRoadChooser.h"

// What korvantis-linkcheck takes from the machine it runs on; tests put in their own.
struct LinkCheckEnvironment {
  PortRoadChooser chooser;                 // how a real port is reached
  FileCalls imageCalls = RealFileCalls();  // how a card image is read, written and synced
};

LinkCheckEnvironment SystemLinkCheckEnvironment();

// Runs korvantis-linkcheck with its arguments (without the program name): the
// card's three transactions over the link, with their speed on out. On a
// simulated card (in memory, or an image file) it writes and reads back every
// unit of all four pages and puts the old bytes back; on a real port it only
// reads the selected page, so that nothing on the card changes. Returns 0
// when every transaction succeeded, 1 when one failed (the message is on out
// or err), 2 for a wrong command line.
int RunLinkCheck(const std::vector<std::string>& arguments, const LinkCheckEnvironment& environment,
                 std::ostream& out, std::ostream& err);
