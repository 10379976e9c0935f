#include "CliRunner.h"

#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>

#include "AdapterRoad.h"
#include "CardChanges.h"
#include "CardText.h"
#include "CareCommands.h"
#include "CommandIds.h"
#include "CommandLine.h"
#include "CommandLineUser.h"
#include "DriveWarning.h"
#include "FileBatch.h"
#include "FileCommands.h"
#include "FileTable.h"
#include "ImageTransport.h"
#include "LinkSettings.h"
#include "ListAdapters.h"
#include "Messages.h"
#include "PageCommands.h"
#include "PageImage.h"
#include "PngPicture.h"
#include "SettingsFile.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "StatusCodes.h"
#include "TerminalProgress.h"
#include "VmsFile.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"
#include "WireTrace.h"

#ifdef _WIN32
#include <io.h>
#define KORVANTIS_ISATTY _isatty
#else
#include <unistd.h>
#define KORVANTIS_ISATTY isatty
#endif

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kCancelled = 130;

int ExitStatus(CommandResult result) {
  switch (result) {
    case CommandResult::Done:
      return kDone;
    case CommandResult::Cancelled:
      return kCancelled;
    case CommandResult::Failed:
    case CommandResult::Dismissed:
      break;
  }
  return kFailed;
}

// The root block of a new image carries the time it was made, as the console does.
int NewImage(const CliRequest& request, std::ostream& out, std::ostream& err) {
  const std::vector<CPageImage> pages(request.pages, CPageImage::FormattedNow());
  const Result written = CPageImage::WriteNewFile(request.file, pages);
  if (!written) {
    err << written.Message() << '\n';
    return kFailed;
  }
  out << Fill(message::kImageCreated,
              {request.file, Counted(request.pages, message::kOnePage, message::kPages)})
      << '\n';
  return kDone;
}

// The index must name a file of the selected page, as a row of the list
// does; the file as read then is added to listed, if given.
bool CheckFileIndex(CVmuCard& card, std::uint16_t index, std::ostream& err,
                    std::vector<ListedFile>* listed = nullptr) {
  std::uint16_t count = 0;
  CVmuDirEntry entry;
  if (!card.GetEntryCount(count) || (index < count && !card.ReadDirEntry(index, entry))) {
    err << card.LastFailure().Message() << '\n';
    return false;
  }
  if (index >= count || entry.GetType() == CVmuDirEntry::kFree) {
    err << Fill(message::kNoSuchFile, {std::to_string(index)}) << '\n';
    return false;
  }
  if (listed != nullptr) listed->emplace_back(index, entry);
  return true;
}

// The desktop's command that does what the request asks, for what it does to
// the card (CardChanges.h); 0 for a new image, which reaches no card.
int CommandId(const CliRequest& request) {
  using Command = CliRequest::Command;
  switch (request.command) {
    case Command::List:
      return command::kRefresh;
    case Command::Info:
      return command::kProperties;
    case Command::Download:
      return command::kDownload;
    case Command::Upload:
      return command::kUpload;
    case Command::ExportIcon:
      return command::kExportIcon;
    case Command::Backup:
      return command::kBackup;
    case Command::Restore:
      return command::kRestore;
    case Command::Page:
      return command::kSetPage1;
    case Command::Check:
      return request.repair ? command::kRepair : command::kCheckCard;
    case Command::Delete:
      return command::kDelete;
    case Command::Format:
      return command::kFormat;
    case Command::Defrag:
      return command::kDefragment;
    case Command::SetIcon:
      return command::kSetIcon;
    case Command::NewImage:
    case Command::Adapters:
      break;
  }
  return 0;
}

// For the commands that save one (CardChanges.h), in the environment's
// folder: an upload's only copy is that of the defragment it may run first.
SafetyCopies Copies(const CliRequest& request, const std::string& folder) {
  const bool upload = request.command == CliRequest::Command::Upload;
  const std::uint16_t page = request.page.value_or(0);
  if (request.noSafetyCopy || !TakesSafetyCopy(upload ? command::kDefragment : CommandId(request)))
    return SafetyCopies{"", page};
  return WantedCopies(folder, page);
}

// An option that says yes confirms; without it the user is asked, and off a
// terminal the question's default answer, No, declines.
Confirm ConfirmedBy(bool option) {
  return option ? Confirm::Yes : Confirm::Ask;
}

// --replace says yes to a replace and to a VMS alone; without it a terminal
// asks and elsewhere neither is done. Data files are moved away for a game
// only with --defrag, through the defragment command with its safety copy.
UploadDecisions UploadDecisionsFor(const CliRequest& request, const std::string& copies,
                                   bool canAsk) {
  UploadDecisions decisions;
  decisions.replace = request.replace ? Replace::Always : canAsk ? Replace::Ask : Replace::Never;
  decisions.loneVms = request.replace ? LoneVms::Yes : canAsk ? LoneVms::Ask : LoneVms::No;
  decisions.defragment = request.defrag ? Defragment::Yes : Defragment::No;
  decisions.runDefragment = [&request, copies](CVmuCard& card, CProgress& progress,
                                               CUserPrompts& user) {
    return DefragmentPage(card, Copies(request, copies), progress, user);
  };
  return decisions;
}

// Every file of the page into the folder; existing files are replaced only
// with --force (or as the user answers on a terminal), and a file kept or in
// the way fails the command.
int DownloadAll(const CliRequest& request, CVmuCard& card, CTerminalProgress& progress,
                CCommandLineUser& user, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::is_directory(request.allFolder, error)) {
    err << Fill(message::kNoFolder, {request.allFolder}) << '\n';
    return kFailed;
  }
  std::uint16_t count = 0;
  std::vector<ListedFile> files;
  if (!card.GetEntryCount(count)) {
    err << card.LastFailure().Message() << '\n';
    return kFailed;
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) {
      err << card.LastFailure().Message() << '\n';
      return kFailed;
    }
    if (entry.GetType() != CVmuDirEntry::kFree) files.emplace_back(i, entry);
  }
  const Overwrite overwrite = request.force   ? Overwrite::Always
                              : user.CanAsk() ? Overwrite::Ask
                                              : Overwrite::Never;
  Declined declined = Declined::Nothing;
  const CommandResult result = DownloadFiles(
      card, files, request.allFolder, request.vmsFormat ? CardFileFormat::Vms : CardFileFormat::Dci,
      progress, user, overwrite, &declined);
  if (declined == Declined::Overwrite) err << message::kAddForce.text << '\n';
  return ExitStatus(result);
}

// The picture is read before anything is written; the monochrome icon takes
// the middle threshold. An icon file on the card is replaced as --replace
// or the terminal says.
int SetIcon(const CliRequest& request, CVmuCard& card, CTerminalProgress& progress,
            CCommandLineUser& user, std::ostream& err) {
  RgbaPicture picture;
  if (const Result read = ReadPngPicture(request.file, picture); !read) {
    err << read.Message() << '\n';
    return kFailed;
  }
  CardIconChoice choice;
  choice.description = request.description.value_or(DefaultIconDescription(request.file));
  choice.monoOnly = request.monoOnly;
  const Replace replace = request.replace ? Replace::Always
                          : user.CanAsk() ? Replace::Ask
                                          : Replace::Never;
  Declined declined = Declined::Nothing;
  const CommandResult result =
      SetCardIcon(card, picture, choice, progress, user, replace, &declined);
  if (declined == Declined::Replace) err << message::kAddReplace.text << '\n';
  return ExitStatus(result);
}

int RunCardCommand(const CliRequest& request, const std::string& copies, CVmuCard& card,
                   CTerminalProgress& progress, CCommandLineUser& user, std::ostream& out,
                   std::ostream& err) {
  using Command = CliRequest::Command;
  switch (request.command) {
    case Command::List: {
      // The rows read before a failure are printed, then its message.
      FileListing listing;
      user.HoldMessages();
      const CommandResult result = RefreshList(card, progress, user, listing);
      const bool failed = result == CommandResult::Failed;
      if (result == CommandResult::Done || (failed && !listing.rows.empty())) {
        std::vector<FileTexts> rows;
        for (const FileTexts& row : listing.rows)
          rows.push_back(DecodeFileTexts(row, request.encoding));
        if (request.json) {
          PrintFilesJson(rows, listing.rows, out);
        } else if (request.tsv) {
          PrintFilesTsv(rows, out);
        } else {
          PrintFilesTable(rows, out);
          if (listing.freeBlocks) out << FreeBlocksText(*listing.freeBlocks) << '\n';
        }
      }
      out.flush();
      user.ReleaseMessages();
      return ExitStatus(result);
    }
    case Command::Info: {
      if (!CheckFileIndex(card, request.index, err)) return kFailed;
      FileTexts properties;
      const CommandResult result = GetFileProperties(card, request.index, user, properties);
      if (result == CommandResult::Done) {
        PrintProperties(DecodeFileTexts(properties, request.encoding), out);
      }
      return ExitStatus(result);
    }
    case Command::Download:
      if (!request.allFolder.empty()) return DownloadAll(request, card, progress, user, err);
      if (!CheckFileIndex(card, request.index, err)) return kFailed;
      return ExitStatus(DownloadFile(card, request.index, progress, user));
    case Command::Upload: {
      Declined declined = Declined::Nothing;
      const CommandResult result =
          UploadFiles(card, request.files, progress, user,
                      UploadDecisionsFor(request, copies, user.CanAsk()), &declined);
      if (declined == Declined::Replace || declined == Declined::LoneVms)
        err << message::kAddReplace.text << '\n';
      if (declined == Declined::Defragment) err << message::kAddDefrag.text << '\n';
      return ExitStatus(result);
    }
    case Command::ExportIcon:
      if (!CheckFileIndex(card, request.index, err)) return kFailed;
      return ExitStatus(ExportIcon(card, request.index, request.file, user));
    case Command::Backup:
      return ExitStatus(BackupPage(card, progress, user));
    case Command::Restore: {
      user.SetPage(request.fromPage);
      Declined declined = Declined::Nothing;
      const CommandResult result = RestorePage(card, Copies(request, copies), progress, user,
                                               ConfirmedBy(request.force), &declined);
      if (declined == Declined::Confirm)
        err << Fill(message::kAddForceRestore, {request.file}) << '\n';
      return ExitStatus(result);
    }
    case Command::Page:
      return ExitStatus(SetPage(card, request.pageArgument, user));
    case Command::Check: {
      // The flag is the answer: no question about a checksum is asked here.
      CheckRequest check{request.repair, request.fixChecksums ? CheckRequest::Checksums::Rewrite
                                                              : CheckRequest::Checksums::Leave};
      CheckVerdict verdict;
      const CommandResult result =
          CheckCard(card, check, Copies(request, copies), progress, user, verdict);
      return result == CommandResult::Done && !verdict.sound ? kFailed : ExitStatus(result);
    }
    case Command::Delete: {
      std::vector<ListedFile> files;
      for (const std::uint16_t index : request.indices)
        if (!CheckFileIndex(card, index, err, &files)) return kFailed;
      Declined declined = Declined::Nothing;
      const CommandResult result =
          DeleteFiles(card, files, user, ConfirmedBy(request.yes), &declined);
      if (declined == Declined::Confirm) err << message::kAddYes.text << '\n';
      return ExitStatus(result);
    }
    case Command::Format: {
      Declined declined = Declined::Nothing;
      const CommandResult result = FormatPage(card, Copies(request, copies), progress, user,
                                              ConfirmedBy(request.yes), &declined);
      if (declined == Declined::Confirm) err << message::kAddYes.text << '\n';
      return ExitStatus(result);
    }
    case Command::Defrag:
      return ExitStatus(DefragmentPage(card, Copies(request, copies), progress, user));
    case Command::SetIcon:
      return SetIcon(request, card, progress, user, err);
    case Command::NewImage:
    case Command::Adapters:
      break;
  }
  return kFailed;
}

// The file the command writes, if any.
const std::string* OutputOf(const CliRequest& request) {
  using Command = CliRequest::Command;
  const bool saves = (request.command == Command::Download && request.allFolder.empty()) ||
                     request.command == Command::Backup || request.command == Command::ExportIcon;
  return saves ? &request.file : nullptr;
}

// Everything that can be refused before the card is reached: a trace that is
// the card image, outputs that the user's output check refuses or that are
// taken, and pages the image does not hold. A refusal is told on err.
bool MayRun(const CliRequest& request, const CSimulatedCard& simulated, CCommandLineUser& user,
            std::ostream& err) {
  const std::string* output = OutputOf(request);
  // A VMS download writes its VMI beside it: a pair is written whole or kept whole.
  const std::string companion = output != nullptr &&
                                        request.command == CliRequest::Command::Download &&
                                        CVmsFile::IsPairName(*output)
                                    ? CVmsFile::Companion(*output)
                                    : std::string();
  std::vector<Result> checks;
  if (!request.link.trace.empty()) checks.push_back(simulated.CheckOutput(request.link.trace));
  if (request.page) checks.push_back(simulated.CheckPageNumber(*request.page));
  if (request.command == CliRequest::Command::Page) {
    checks.push_back(simulated.CheckPageNumber(request.pageArgument));
  }
  for (const Result& check : checks) {
    if (check) continue;
    err << check.Message() << '\n';
    return false;
  }
  if (output == nullptr) return true;
  return user.MaySave(*output) && (companion.empty() || user.MaySave(companion));
}

// Builds the transport the options ask for: an image read as a file, a
// simulated card over an image behind the simulated wire (which a trace
// needs), a port named on the command line, or the stored port. The road to
// a real port is chosen once, for the port finally named.
std::unique_ptr<CCardTransport> MakeTransport(const CliRequest& request,
                                              const CliEnvironment& environment,
                                              const LinkSettings& stored,
                                              CSimulatedCard& simulated) {
  const bool image = !request.link.image.empty();
  if (image && !request.simulateWire && request.link.trace.empty())
    return std::make_unique<CImageTransport>(simulated);
  std::unique_ptr<CVmuLink> link;
  if (image) {
    link = std::make_unique<CVmuLink>(std::make_unique<CSimulatedPortRoad>(simulated));
    link->SetTimeout(TimeoutMicroseconds(stored.timeoutSeconds));
    link->SetDelayFactor(0);  // the simulated card needs no settling time
  } else {
    link = std::make_unique<CVmuLink>(environment.chooser);
    LinkSettings settings = stored;
    if (request.link.port) settings.port = *request.link.port;
    ApplyLinkSettings(settings, *link);
  }
  ApplyLinkOptions(request.link, *link);
  return link;
}

// After the command: what it wrote to an image reaches the disk, and the
// trace says whether it kept everything. Any failure there turns success
// into failure. (An image that refused a write unit failed the command
// itself, which said so.)
int Conclude(int status, CSimulatedCard& simulated, CWireTrace* trace, std::ostream& err) {
  const Result synced = simulated.SyncImage();
  std::vector<std::string> problems = {synced.Message()};
  if (trace != nullptr) {
    trace->Flush();
    problems.push_back(trace->GetResult().Message());
  }
  for (const std::string& problem : problems) {
    if (problem.empty()) continue;
    err << problem << '\n';
    if (status == kDone) status = kFailed;
  }
  return status;
}

}  // namespace

CliEnvironment SystemCliEnvironment() {
  CliEnvironment environment;
  environment.settingsPath = DefaultSettingsPath();
  environment.safetyCopies = DefaultSafetyCopyFolder();
  environment.chooser = SystemPortRoadChooser();
  environment.stderrIsTerminal = KORVANTIS_ISATTY(2) != 0;
  if (KORVANTIS_ISATTY(0) != 0) environment.terminal = &std::cin;
  return environment;
}

int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment,
           std::ostream& out, std::ostream& err) {
  CliRequest request;
  int exitStatus = kDone;
  if (!ParseCommandLine(arguments, request, exitStatus, out, err)) return exitStatus;
  if (request.command == CliRequest::Command::NewImage) return NewImage(request, out, err);
  if (request.command == CliRequest::Command::Adapters) return ListAdapters(out, err);

  LinkSettings stored;
  if (const Result read = ReadSettingsFile(environment.settingsPath, stored); !read) {
    err << read.Message() << '\n';
    return kFailed;
  }
  CSimulatedCard simulated;  // outlives the card object that reaches it
  if (!request.link.image.empty()) {
    // A command that changes the card holds the image alone, and a read-only
    // image refuses it before anything is sent; the others share it.
    const ImageAccess access =
        ChangesCard(CommandId(request)) ? ImageAccess::Write : ImageAccess::Read;
    const Result opened = simulated.OpenImage(request.link.image, access, environment.imageCalls);
    if (!opened) {
      err << opened.Message() << '\n';
      return kFailed;
    }
  }
  CCommandLineUser user(err, environment.terminal);
  user.SetFile(request.file, request.force);
  CSimulatedAdapter* adapter = nullptr;  // for --usb sim:FILE; the card's transport owns it
  user.SetOutputCheck([&simulated, &adapter, &request](const std::string& path) {
    const Result image =
        adapter != nullptr ? adapter->CheckOutput(path) : simulated.CheckOutput(path);
    return image ? CWireTrace::CheckOutput(request.link.trace, path) : image;
  });
  if (!MayRun(request, simulated, user, err)) return kFailed;

  std::unique_ptr<CWireTrace> openedTrace;
  if (!request.link.trace.empty()) {
    const Result opened = CWireTrace::OpenFile(request.link.trace, request.link.force, openedTrace);
    if (!opened) {
      err << opened.Message() << '\n';
      return kFailed;
    }
  }
  CWireTrace* trace = openedTrace.get();  // the link owns it and outlives its use here

  // A port that cannot be reached is named in the message of the command's failure.
  std::unique_ptr<CCardTransport> transport;
  if (request.usb) {
    const Result opened = OpenAdapterRoad(
        request.usbSerial, request.slot,
        ChangesCard(CommandId(request)) ? ImageAccess::Write : ImageAccess::Read,
        *environment.adapterClock, transport, adapter, nullptr, environment.imageCalls);
    if (!opened) {
      err << opened.Message() << '\n';
      return kFailed;
    }
    if (adapter != nullptr) adapter->ShowCardsAsDrive(environment.simulatedDrive);
  } else {
    transport = MakeTransport(request, environment, stored, simulated);
  }
  CVmuCard card(std::move(transport));
  if (trace != nullptr) card.GetLink()->SetTrace(std::move(openedTrace));
  if (!MayWriteCardSeenAsDrive(CommandId(request), card.ShowsCardAsDrive(),
                               ConfirmedBy(request.yes), user)) {
    if (environment.terminal == nullptr) err << message::kAskWriteCardSeenAsDrive.text << '\n';
    err << message::kAddYes.text << '\n';
    return kFailed;
  }

  CTerminalProgress progress(err, environment.stderrIsTerminal);
  int status = kDone;
  if (request.page) status = ExitStatus(SetPage(card, *request.page, user));
  if (status == kDone)
    status = RunCardCommand(request, environment.safetyCopies, card, progress, user, out, err);
  if (const Result synced = adapter != nullptr ? adapter->Sync() : Result(); !synced) {
    err << synced.Message() << '\n';
    if (status == kDone) status = kFailed;
  }
  return Conclude(status, simulated, trace, err);
}
