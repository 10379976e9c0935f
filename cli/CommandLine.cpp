#include "CommandLine.h"

#include <CLI/CLI.hpp>

namespace {

constexpr const char* kVersion = "korvantis-cli 0.11 Alpha";

// Decimal, or hexadecimal after 0x; an I/O address fits 16 bits.
std::string ParsePort(const std::string& text, std::optional<std::uint16_t>& port) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 8) return "not a port address: " + text;
  unsigned long value = 0;
  for (const char c : digits) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : hex && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    if (digit < 0) return "not a port address: " + text;
    value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
  }
  if (value > 0xFFFF) return "a port address is at most 65535 (0xFFFF): " + text;
  port = static_cast<std::uint16_t>(value);
  return std::string();
}

CLI::App* AddFileCommand(CLI::App& app, const char* name, const char* help, const char* fileHelp,
                         CliRequest& request, bool withForce) {
  CLI::App* command = app.add_subcommand(name, help);
  command->add_option("FILE", request.file, fileHelp)->required();
  if (withForce) command->add_flag("--force", request.force, "replace an existing FILE");
  return command;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CliRequest& request,
                      int& exitStatus, std::ostream& out, std::ostream& err) {
  CLI::App app{"Korvantis: the Dreamcast memory card on the parallel port, from the command line.",
               "korvantis-cli"};
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(1, 1);

  std::string portText;
  auto* image = app.add_option("--image", request.image,
                               "a simulated card whose memory is FILE (.dcm, .bin or .vmu)");
  auto* port =
      app.add_option("--port", portText, "the parallel port at ADDRESS (decimal or 0x hex)");
  image->excludes(port);
  app.add_option("--timeout", request.timeoutSeconds, "handshake timeout in seconds");
  app.add_option("--delay", request.delay, "bit delay in microseconds");
  app.add_option("--page", request.page, "select page N (1 to 4) before the command")
      ->check(CLI::Range(1, 4));
  app.add_option("--trace", request.trace, "write every register access to FILE");

  CLI::App* list = app.add_subcommand("list", "the files of the selected page");
  list->add_flag("--tsv", request.tsv, "tab-separated, for scripts");
  CLI::App* info =
      app.add_subcommand("info", "the properties of the file with that directory index");
  info->add_option("INDEX", request.index, "directory index")->required();
  CLI::App* download = app.add_subcommand("download", "save that file as a DCI file");
  download->add_option("INDEX", request.index, "directory index")->required();
  download->add_option("FILE", request.file, "the DCI file to write")->required();
  download->add_flag("--force", request.force, "replace an existing FILE");
  CLI::App* upload = AddFileCommand(app, "upload", "write a DCI data file to the card",
                                    "the DCI file", request, false);
  upload->add_flag("--replace", request.replace,
                   "replace a file of the same name on the card (else it is refused)");
  CLI::App* backup = AddFileCommand(app, "backup", "save the selected page as a DCM file",
                                    "the DCM file to write", request, true);
  CLI::App* restore = AddFileCommand(app, "restore", "write a page image to the selected page",
                                     "the DCM file", request, false);
  CLI::App* page = app.add_subcommand("page", "select page N (1 to 4)");
  page->add_option("N", request.pageArgument, "the page")->required()->check(CLI::Range(1, 4));
  CLI::App* newImage = app.add_subcommand("new-image", "create a formatted card image");
  newImage->add_option("FILE", request.file, "the image to create (.dcm, .bin or .vmu)")
      ->required();
  newImage->add_option("--pages", request.pages, "1 or 4")->check(CLI::IsMember({1u, 4u}));

  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    exitStatus = app.exit(error, out, err) == 0 ? 0 : 2;
    return false;
  }
  if (!portText.empty()) {
    const std::string problem = ParsePort(portText, request.port);
    if (!problem.empty()) {
      err << "--port: " << problem << '\n' << "Run with --help for more information.\n";
      exitStatus = 2;
      return false;
    }
  }

  const std::pair<CLI::App*, CliRequest::Command> commands[] = {
      {list, CliRequest::Command::List},         {info, CliRequest::Command::Info},
      {download, CliRequest::Command::Download}, {upload, CliRequest::Command::Upload},
      {backup, CliRequest::Command::Backup},     {restore, CliRequest::Command::Restore},
      {page, CliRequest::Command::Page},         {newImage, CliRequest::Command::NewImage}};
  for (const auto& [command, kind] : commands) {
    if (command->parsed()) request.command = kind;
  }
  return true;
}
