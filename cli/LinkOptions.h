#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
class Validator;
}  // namespace CLI
class CVmuLink;

// How to reach the card, as both command-line programs take it, so that
// korvantis-cli and korvantis-linkcheck read every option alike.
struct LinkOptions {
  std::string image;                            // --image: a simulated card over this file
  std::optional<std::uint16_t> port;            // --port: decimal, or hexadecimal after 0x
  std::optional<std::uint32_t> timeoutSeconds;  // --timeout
  std::optional<std::uint32_t> delay;           // --delay, microseconds
  std::string trace;                            // --trace: every register access to this file
  bool force = false;                           // --force: an existing trace file is replaced
};

// Adds --image, --port (which excludes --image), --timeout, --delay, --trace
// and --force. An empty FILE is refused: it names no file.
void AddLinkOptions(CLI::App& app, LinkOptions& options);

// A whole number given on the command line: decimal only (010 is ten), at
// most limit. It is read as the Settings dialog and the settings file read one.
CLI::Validator DecimalNumber(std::uint32_t limit);

// Parses the arguments (without the program name). Returns true to go on;
// false when the program should end at once with exitStatus: 0 after help or
// version, 2 after a wrong command line, whose reason and usage go to err.
bool ParseArguments(CLI::App& app, const std::vector<std::string>& arguments, int& exitStatus,
                    std::ostream& out, std::ostream& err);

// Gives the link the timeout and delay the command line names, if any. A
// timeout too long for the link becomes its longest, as with a stored one.
void ApplyLinkOptions(const LinkOptions& options, CVmuLink& link);
