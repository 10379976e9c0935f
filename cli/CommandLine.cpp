#include "CommandLine.h"

#include <CLI/CLI.hpp>

#include "ProgramInfo.h"

namespace {

// Every number on the command line is decimal, as in the Settings dialog:
// "info 010" is directory index 10. Indices and pages fit 16 bits.
constexpr std::uint32_t kLargest16 = 0xFFFF;

void AddIndexArgument(CLI::App& command, CliRequest& request) {
  command.add_option("INDEX", request.index, "directory index")
      ->transform(DecimalNumber(kLargest16))
      ->required();
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
  app.set_version_flag("--version", std::string("korvantis-cli ") + program::kVersionText);
  app.require_subcommand(1, 1);

  AddLinkOptions(app, request.link);
  app.add_option("--page", request.page, "select page N (1 to 4) before the command")
      ->transform(DecimalNumber(kLargest16))
      ->check(CLI::Range(1, 4));

  CLI::App* list = app.add_subcommand("list", "the files of the selected page");
  list->add_flag("--tsv", request.tsv, "tab-separated, for scripts");
  CLI::App* info =
      app.add_subcommand("info", "the properties of the file with that directory index");
  AddIndexArgument(*info, request);
  CLI::App* download = app.add_subcommand("download", "save that file as a DCI file");
  AddIndexArgument(*download, request);
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
  page->add_option("N", request.pageArgument, "the page")
      ->transform(DecimalNumber(kLargest16))
      ->required()
      ->check(CLI::Range(1, 4));
  CLI::App* newImage = app.add_subcommand("new-image", "create a formatted card image");
  newImage->add_option("FILE", request.file, "the image to create (.dcm, .bin or .vmu)")
      ->required();
  newImage->add_option("--pages", request.pages, "1 or 4")
      ->transform(DecimalNumber(kLargest16))
      ->check(CLI::IsMember({1u, 4u}));

  if (!ParseArguments(app, arguments, exitStatus, out, err)) return false;

  const std::pair<CLI::App*, CliRequest::Command> commands[] = {
      {list, CliRequest::Command::List},         {info, CliRequest::Command::Info},
      {download, CliRequest::Command::Download}, {upload, CliRequest::Command::Upload},
      {backup, CliRequest::Command::Backup},     {restore, CliRequest::Command::Restore},
      {page, CliRequest::Command::Page},         {newImage, CliRequest::Command::NewImage}};
  for (const auto& [command, kind] : commands) {
    if (command->parsed()) request.command = kind;
  }
  // One --force, before or after the command, replaces every output it names.
  request.force = request.force || request.link.force;
  request.link.force = request.force;
  return true;
}
