// korvantis: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "AdapterClock.h"
#include "CardSlot.h"
#include "CardSource.h"
#include "FileReader.h"
#include "Icons.h"
#include "LinkSettingsStore.h"
#include "MainFrame.h"
#include "Messages.h"
#include "ProgramInfo.h"
#include "QuitOnSignal.h"
#include "RecentImages.h"
#include "VmuCard.h"
#include "WireTrace.h"

namespace {

// Without a screen Qt would end the program with a cryptic abort; say what
// to do instead.
bool HasDisplay() {
#if defined(__linux__)
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("QT_QPA_PLATFORM") != nullptr;
#else
  return true;
#endif
}

struct Options {
  QCommandLineOption simulate{
      "simulate", "Run on a simulated card whose memory is FILE (.dcm, .bin, .vmu or .vmd).",
      "FILE"};
  QCommandLineOption simulateWire{
      "simulate-wire",
      "Reach card images through the simulated parallel wire, as --trace does, not as files."};
  QCommandLineOption trace{"trace", "Write every register access to FILE.", "FILE"};
  // Its value may be left out (--usb alone, or --usb=): WithOptionalUsbValue.
  QCommandLineOption usb{
      "usb",
      "Run on the card on the USB adapter with serial number SERIAL; without one (--usb alone), "
      "on the only adapter attached. sim:FILE: on a simulated adapter holding the card image "
      "FILE.",
      "SERIAL|sim:FILE"};
  QCommandLineOption slot{
      "slot",
      "With --usb: the card in slot SLOT, A1 to D2 (controller port, slot of the controller).",
      "SLOT"};

  void AddTo(QCommandLineParser& parser) const {
    parser.setApplicationDescription(
        "Korvantis: the Dreamcast memory card on the parallel port.\n"
        "Without --simulate or --usb it reaches the card chosen last: on a USB adapter, or on the "
        "port of the stored settings.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(simulate);
    parser.addOption(simulateWire);
    parser.addOption(trace);
    parser.addOption(usb);
    parser.addOption(slot);
  }
};

void NameTheApplication() {
  // The names say where QSettings keeps the settings, the file that
  // korvantis-cli reads as well.
  QCoreApplication::setOrganizationName(QString::fromUtf8(program::kOrganization));
  QCoreApplication::setApplicationName(QString::fromUtf8(program::kName));
  QCoreApplication::setApplicationVersion(QString::fromUtf8(program::kVersionText));
}

// --help and --version answer on any machine, with or without a screen.
bool AnswersWithoutWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    if (argument == "-h" || argument == "--help" || argument == "--help-all" || argument == "-v" ||
        argument == "--version") {
      return true;
    }
  }
  return false;
}

// --usb takes a value, but may stand alone as korvantis-cli's does: alone it
// is read as --usb= (the only adapter).
QStringList WithOptionalUsbValue(QStringList arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == QStringLiteral("--")) break;
    if (arguments[i] == QStringLiteral("--usb") &&
        (i + 1 == arguments.size() || arguments[i + 1].startsWith('-')))
      arguments[i] = QStringLiteral("--usb=");
  }
  return arguments;
}

// --usb names the card; --slot says which of its adapter's.
Result CheckUsbOptions(const QCommandLineParser& parser, const Options& options) {
  for (const QCommandLineOption* other :
       {&options.simulate, &options.trace, &options.simulateWire}) {
    if (parser.isSet(options.usb) && parser.isSet(*other))
      return Result::Failure(
          Fill(message::kUsbWithOtherCard, {"--" + other->names().front().toStdString()}));
  }
  if (parser.isSet(options.slot) && !parser.isSet(options.usb))
    return Result::Failure(message::kSlotNeedsUsb.text);
  CardSlot slot;
  const std::string name = parser.value(options.slot).toStdString();
  if (parser.isSet(options.slot) && !CardSlot::FromName(name, slot))
    return Result::Failure(Fill(message::kNotASlot, {name}));
  return Result();
}

// On the terminal and in a message box, for the user who started it either way.
void Tell(const Result& result) {
  const QString text = QString::fromStdString(result.Message());
  std::fprintf(stderr, "korvantis: %s\n", text.toLocal8Bit().constData());
  QMessageBox::critical(nullptr, QStringLiteral("Korvantis"), text);
}

int Fail(const Result& result) {
  Tell(result);
  return 1;
}

// QSettings reads its file as soon as it is made, and would wait for ever on
// a pipe in its place: anything there but a regular file is refused first.
// No file at all is fine; the settings are then the defaults.
Result CheckSettingsFile() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  const QString path = folder + '/' + QCoreApplication::organizationName() + '/' +
                       QCoreApplication::applicationName() + ".conf";
  if (!QFileInfo::exists(path)) return Result();
  // Opened and looked at, not read: QSettings reads it.
  std::vector<std::uint8_t> nothing;
  const std::string name = QFile::encodeName(path).toStdString();
  const Result looked = ReadRegularFile(name, nothing, 0);
  if (looked) return looked;
  return Result::Failure(Fill(message::kSettingsFileUnusable, {name, looked.Message()}));
}

}  // namespace

int main(int argc, char** argv) {
  const Options options;
  if (AnswersWithoutWindow(argc, argv)) {
    QCoreApplication core(argc, argv);
    NameTheApplication();
    QCommandLineParser parser;
    options.AddTo(parser);
    parser.process(WithOptionalUsbValue(core.arguments()));  // prints the answer and ends
  }
  if (!HasDisplay()) {
    std::fprintf(stderr, "%s\n", message::kNoDisplay.text);
    return 1;
  }
  QApplication application(argc, argv);
  NameTheApplication();
  QApplication::setWindowIcon(ProgramIcon());
  Q_INIT_RESOURCE(resources);
  QuitOnTerminationSignals();

  QCommandLineParser parser;
  options.AddTo(parser);
  parser.process(WithOptionalUsbValue(application.arguments()));
  if (const Result usable = CheckUsbOptions(parser, options); !usable) return Fail(usable);
  const QCommandLineOption& simulate = options.simulate;
  const QCommandLineOption& trace = options.trace;
  // A trace records the wire, so the images it is to see go over it.
  const ImageRoad imageRoad =
      parser.isSet(options.simulateWire) || parser.isSet(trace) ? ImageRoad::Wire : ImageRoad::File;

  // The image is held alone while the program runs, or shared and read-only
  // where it may not be written. Without a card named, the frame starts on
  // the one chosen last; a trace records the port's.
  CardSource card;
  if (parser.isSet(simulate)) {
    const Result opened =
        OpenCardImage(QFile::encodeName(parser.value(simulate)).toStdString(), card, imageRoad);
    if (!opened) return Fail(opened);
  } else if (parser.isSet(options.usb)) {
    const Result opened = OpenAdapterCard(
        QFile::encodeName(parser.value(options.usb)).toStdString(),
        parser.value(options.slot).toStdString(), CSteadyAdapterClock::Instance(), card);
    if (!opened) return Fail(opened);
  } else if (parser.isSet(trace)) {
    card.card = std::make_unique<CVmuCard>();  // its road is chosen once the settings are applied
  }
  CWireTrace* wireTrace = nullptr;
  std::string tracePath;
  if (parser.isSet(trace)) {
    const std::string path = QFile::encodeName(parser.value(trace)).toStdString();
    tracePath = path;
    if (card.simulated) {
      if (const Result outside = card.simulated->CheckOutput(path); !outside) return Fail(outside);
    }
    std::unique_ptr<CWireTrace> opened;
    const Result result = CWireTrace::OpenFile(path, true, opened);
    if (!result) return Fail(result);
    wireTrace = opened.get();  // the link owns it; the frame keeps the link to the end
    card.card->GetLink()->SetTrace(std::move(opened));  // the port's or the image's wire
  }

  std::unique_ptr<QSettings> settings;
  std::unique_ptr<CLinkSettingsStore> store;
  std::unique_ptr<CRecentImages> recentImages;
  if (const Result usable = CheckSettingsFile(); usable) {
    settings = std::make_unique<QSettings>();
    store = std::make_unique<CLinkSettingsStore>(*settings);
    recentImages = std::make_unique<CRecentImages>(*settings);
  } else {
    Tell(usable);
  }
  CMainFrame::Services services;
  services.card = std::move(card);
  services.tracePath = tracePath;
  services.imageRoad = imageRoad;
  services.settings = store.get();
  services.recentImages = recentImages.get();
  services.viewSettings = settings.get();
  CMainFrame frame(std::move(services));
  frame.show();
  const int status = application.exec();
  if (wireTrace == nullptr) return status;
  wireTrace->Flush();
  const Result traced = wireTrace->GetResult();
  if (traced) return status;
  std::fprintf(stderr, "korvantis: %s\n", traced.Message().c_str());
  return 1;
}
