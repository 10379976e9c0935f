#include "LinkCheckCommandLine.h"

#include <CLI/CLI.hpp>

bool ParseLinkCheckCommandLine(const std::vector<std::string>& arguments, LinkOptions& options,
                               int& exitStatus, std::ostream& out, std::ostream& err) {
  CLI::App app{
      "Runs the card's transactions over the link and reports how fast and how cleanly they went.\n"
      "Without --image or --port it checks a simulated card held in memory; on a real port it\n"
      "only reads.",
      "korvantis-linkcheck"};
  AddLinkOptions(app, options);
  return ParseArguments(app, arguments, exitStatus, out, err);
}
