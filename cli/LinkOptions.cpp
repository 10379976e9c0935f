#include "LinkOptions.h"

#include <CLI/CLI.hpp>
#include <limits>

#include "DecimalNumber.h"
#include "LinkSettings.h"
#include "Messages.h"
#include "VmuLink.h"

namespace {

constexpr std::uint32_t kLargestPort = 0xFFFF;

DecimalParse ParseHexadecimal(const std::string& digits, std::uint32_t& value) {
  if (digits.empty()) return DecimalParse::NotANumber;
  std::uint32_t number = 0;
  bool tooLarge = false;
  for (const char c : digits) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return DecimalParse::NotANumber;
    if (!tooLarge) number = number * 16 + static_cast<std::uint32_t>(digit);
    tooLarge = tooLarge || number > kLargestPort;
  }
  if (tooLarge) return DecimalParse::TooLarge;
  value = number;
  return DecimalParse::Number;
}

// Decimal, or hexadecimal after 0x; an I/O address fits 16 bits. The text is
// handed on as plain decimal digits, which CLI11 converts without guessing a base.
CLI::Validator PortAddress() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        std::uint32_t value = 0;
        const DecimalParse parse =
            hex ? ParseHexadecimal(text.substr(2), value) : ParseDecimal(text, value, kLargestPort);
        if (parse == DecimalParse::NotANumber) return Fill(message::kNotAPortAddress, {text});
        if (parse == DecimalParse::TooLarge) {
          return Fill(message::kPortTooLarge, {text});
        }
        text = std::to_string(value);
        return std::string();
      },
      "", "PORT");
}

CLI::Validator NamesAFile() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        return text.empty() ? message::kOptionFileNameEmpty.text : std::string();
      },
      "", "FILE");
}

}  // namespace

CLI::Validator DecimalNumber(std::uint32_t limit) {
  return CLI::Validator(
      [limit](std::string& text) -> std::string {
        std::uint32_t value = 0;
        if (ParseDecimal(text, value, limit) != DecimalParse::Number) {
          return Fill(message::kNotAWholeNumber, {std::to_string(limit), text});
        }
        text = std::to_string(value);
        return std::string();
      },
      "", "DECIMAL");
}

void AddLinkOptions(CLI::App& app, LinkOptions& options) {
  constexpr std::uint32_t kLargest = std::numeric_limits<std::uint32_t>::max();
  auto* image = app.add_option("--image", options.image,
                               "a simulated card whose memory is FILE (.dcm, .bin, .vmu or .vmd)")
                    ->check(NamesAFile())
                    ->type_name("FILE");
  auto* port =
      app.add_option("--port", options.port, "the parallel port at ADDRESS (decimal or 0x hex)")
          ->transform(PortAddress())
          ->type_name("ADDRESS");
  image->excludes(port);
  app.add_option("--timeout", options.timeoutSeconds, "handshake timeout in seconds")
      ->transform(DecimalNumber(kLargest))
      ->type_name("SECONDS");
  app.add_option("--delay", options.delay, "bit delay in microseconds")
      ->transform(DecimalNumber(kLargest))
      ->type_name("MICROSECONDS");
  app.add_option("--trace", options.trace, "write every register access to FILE")
      ->check(NamesAFile())
      ->type_name("FILE");
  app.add_flag("--force", options.force, "replace an existing output FILE (the trace's too)");
}

bool ParseArguments(CLI::App& app, const std::vector<std::string>& arguments, int& exitStatus,
                    std::ostream& out, std::ostream& err) {
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    exitStatus = app.exit(error, out, err) == 0 ? 0 : 2;
    return false;
  }
  return true;
}

void ApplyLinkOptions(const LinkOptions& options, CVmuLink& link) {
  if (options.timeoutSeconds) link.SetTimeout(TimeoutMicroseconds(*options.timeoutSeconds));
  if (options.delay) link.SetDelayFactor(*options.delay);
}
