// korvantis-linkcheck: runs the card's three transactions over the link and
// says how fast and how cleanly they went.

#include <iostream>
#include <string>
#include <vector>

#include "LinkCheckRunner.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunLinkCheck(arguments, SystemLinkCheckEnvironment(), std::cout, std::cerr);
}
