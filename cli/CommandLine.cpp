#include "CommandLine.h"

#include "CardSlot.h"

#include <CLI/CLI.hpp>

#include "Messages.h"
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
  app.add_flag("--simulate-wire", request.simulateWire,
               "with --image: go through the simulated parallel wire (as --trace does) instead of "
               "reading the file directly")
      ->needs(app.get_option("--image"));
  CLI::Option* usb =
      app.add_option("--usb", request.usbSerial,
                     "reach the card through the USB adapter with that serial number (the only "
                     "one attached when none is given); sim:FILE: a simulated adapter holding "
                     "FILE's first page")
          ->expected(0, 1)
          ->excludes(app.get_option("--image"))
          ->excludes(app.get_option("--port"))
          ->excludes(app.get_option("--trace"));
  app.add_option("--slot", request.slot,
                 "with --usb: the card in this slot, A1 to D2 (controller port, slot)")
      ->needs(usb)
      ->check([](const std::string& name) {
        CardSlot slot;
        return CardSlot::FromName(name, slot) ? std::string() : std::string("a slot is A1 to D2");
      });
  app.add_option("--page", request.page, "select page N (1 to 4) before the command")
      ->transform(DecimalNumber(kLargest16))
      ->check(CLI::Range(1, 4));
  app.add_flag("--yes", request.yes,
               "answer yes without asking: to writing a card the computer also sees as a USB "
               "drive, and to delete and format");
  app.add_flag("--no-safety-copy", request.noSafetyCopy,
               "save no safety copy of the page before rewriting it");

  app.add_option_function<std::string>(
         "--encoding",
         [&request](const std::string& name) { EncodingFromName(name, request.encoding); },
         "how card texts are decoded (default auto); output is always UTF-8")
      ->check(CLI::IsMember({"auto", "latin1", "sjis"}));

  CLI::App* list = app.add_subcommand("list", "the files of the selected page");
  CLI::Option* tsv = list->add_flag("--tsv", request.tsv, "tab-separated, for scripts");
  list->add_flag("--json", request.json, "an array of objects, for scripts")->excludes(tsv);
  CLI::App* info =
      app.add_subcommand("info", "the properties of the file with that directory index");
  AddIndexArgument(*info, request);
  CLI::App* download = app.add_subcommand(
      "download", "save that file as FILE.dci, or FILE.vms with its .vmi beside it");
  CLI::Option* index = download->add_option("INDEX", request.index, "directory index")
                           ->transform(DecimalNumber(kLargest16));
  CLI::Option* file =
      download->add_option("FILE", request.file, "the file to write (.dci, .vms or .vmi)");
  CLI::Option* all =
      download->add_option("--all", request.allFolder, "every file of the page into folder DIR")
          ->excludes(index)
          ->excludes(file);
  download
      ->add_option_function<std::string>(
          "--format", [&request](const std::string& name) { request.vmsFormat = name == "vms"; },
          "with --all: dci (the default) or vms")
      ->check(CLI::IsMember({"dci", "vms"}))
      ->needs(all);
  download->add_flag("--force", request.force, "replace existing files");
  CLI::App* upload = app.add_subcommand(
      "upload", "write DCI files, or VMS/VMI pairs (name the .vmi or the .vms), to the card");
  upload->add_option("FILE", request.files, "the files")->required();
  upload->add_flag("--replace", request.replace,
                   "replace a file of the same name on the card, a game too (else it is refused)");
  upload->add_flag("--defrag", request.defrag,
                   "for a game: defragment first when data files hold its blocks");
  CLI::App* exportIcon =
      app.add_subcommand("export-icon", "save that file's icon as FILE.png or FILE.gif");
  AddIndexArgument(*exportIcon, request);
  exportIcon->add_option("FILE", request.file, "the picture to write (.png or .gif)")->required();
  exportIcon->add_flag("--force", request.force, "replace an existing FILE");
  CLI::App* backup = AddFileCommand(app, "backup", "save the selected page as a DCM file",
                                    "the DCM file to write", request, true);
  CLI::App* restore = AddFileCommand(
      app, "restore", "write a page to the selected page",
      "a DCM backup (.dcm), or a card image (.bin, .vmu, .vmd) converted from the card's order",
      request, false);
  restore->add_option("--from-page", request.fromPage, "of a file of four pages, page N (1 to 4)")
      ->transform(DecimalNumber(kLargest16))
      ->check(CLI::Range(1, 4));
  restore->add_flag("--force", request.force, "write a file that holds no formatted page");
  CLI::App* page = app.add_subcommand("page", "select page N (1 to 4)");
  page->add_option("N", request.pageArgument, "the page")
      ->transform(DecimalNumber(kLargest16))
      ->required()
      ->check(CLI::Range(1, 4));
  CLI::App* adapters =
      app.add_subcommand("adapters", "list the USB adapters attached and the cards in their slots");
  CLI::App* newImage = app.add_subcommand("new-image", "create a formatted card image");
  newImage->add_option("FILE", request.file, "the image to create (.dcm, .bin, .vmu or .vmd)")
      ->required();
  newImage->add_option("--pages", request.pages, "1 or 4")
      ->transform(DecimalNumber(kLargest16))
      ->check(CLI::IsMember({1u, 4u}));

  CLI::App* check = app.add_subcommand(
      "check", "report what is damaged on the selected page (exit status 1 when anything is)");
  CLI::Option* repair = check->add_flag(
      "--repair", request.repair,
      "free used blocks that no entry reaches; asked, set sizes to their chains' lengths");
  check
      ->add_flag("--fix-checksums", request.fixChecksums,
                 "with --repair: also rewrite the header checksums that are wrong")
      ->needs(repair);

  CLI::App* remove = app.add_subcommand("delete", "delete the files with those directory indices");
  remove->add_option("INDEX", request.indices, "directory indices")
      ->transform(DecimalNumber(kLargest16))
      ->required();
  remove->add_flag("--yes", request.yes, "delete without asking");

  CLI::App* format =
      app.add_subcommand("format", "erase the selected page: lay it out as a new card");
  format->add_flag("--yes", request.yes, "format without asking");

  CLI::App* defrag = app.add_subcommand(
      "defrag", "move the data files together from block 199 down, the free space in one run");

  CLI::App* setIcon = app.add_subcommand(
      "set-icon", "make the card's own icon file (ICONDATA_VMS) from a PNG picture");
  setIcon->add_option("PICTURE", request.file, "the picture (.png), scaled to 32 x 32")->required();
  setIcon->add_option("--description", request.description,
                      "what the card's screen shows (up to 16 ASCII characters; default: the "
                      "picture's name)");
  setIcon->add_flag("--mono-only", request.monoOnly, "make the monochrome icon only");
  setIcon->add_flag("--replace", request.replace, "replace the icon file on the card");

  if (!ParseArguments(app, arguments, exitStatus, out, err)) return false;
  if (download->parsed() && request.allFolder.empty() &&
      (index->count() == 0 || file->count() == 0)) {
    err << message::kDownloadNeedsFile.text << '\n' << app.help();
    exitStatus = 2;
    return false;
  }

  const std::pair<CLI::App*, CliRequest::Command> commands[] = {
      {list, CliRequest::Command::List},
      {info, CliRequest::Command::Info},
      {download, CliRequest::Command::Download},
      {upload, CliRequest::Command::Upload},
      {exportIcon, CliRequest::Command::ExportIcon},
      {backup, CliRequest::Command::Backup},
      {restore, CliRequest::Command::Restore},
      {page, CliRequest::Command::Page},
      {newImage, CliRequest::Command::NewImage},
      {adapters, CliRequest::Command::Adapters},
      {check, CliRequest::Command::Check},
      {remove, CliRequest::Command::Delete},
      {format, CliRequest::Command::Format},
      {defrag, CliRequest::Command::Defrag},
      {setIcon, CliRequest::Command::SetIcon}};
  for (const auto& [command, kind] : commands) {
    if (command->parsed()) request.command = kind;
  }
  request.usb = usb->count() > 0;
  // One --force, before or after the command, replaces every output it names.
  request.force = request.force || request.link.force;
  request.link.force = request.force;
  return true;
}
