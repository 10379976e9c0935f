// korvantis: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "CardSource.h"
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
      "simulate", "Run on a simulated card whose memory is FILE (.dcm, .bin or .vmu).", "FILE"};
  QCommandLineOption trace{"trace", "Write every register access to FILE.", "FILE"};

  void AddTo(QCommandLineParser& parser) const {
    parser.setApplicationDescription(
        "Korvantis: the Dreamcast memory card on the parallel port.\n"
        "Without --simulate it reaches the card on the port of the stored settings.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(simulate);
    parser.addOption(trace);
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

int Fail(const QString& text) {
  std::fprintf(stderr, "korvantis: %s\n", text.toLocal8Bit().constData());
  QMessageBox::critical(nullptr, QStringLiteral("Korvantis"), text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options;
  if (AnswersWithoutWindow(argc, argv)) {
    QCoreApplication core(argc, argv);
    NameTheApplication();
    QCommandLineParser parser;
    options.AddTo(parser);
    parser.process(core);  // prints the answer and ends the program
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
  parser.process(application);
  const QCommandLineOption& simulate = options.simulate;
  const QCommandLineOption& trace = options.trace;

  CardSource card;
  if (parser.isSet(simulate)) {
    const Result opened =
        OpenCardImage(QFile::encodeName(parser.value(simulate)).toStdString(), card);
    if (!opened) return Fail(QString::fromStdString(opened.Message()));
  } else {
    card.card = std::make_unique<CVmuCard>();
  }
  if (parser.isSet(trace)) {
    std::unique_ptr<CWireTrace> wireTrace;
    const Result opened =
        CWireTrace::OpenFile(QFile::encodeName(parser.value(trace)).toStdString(), wireTrace);
    if (!opened) return Fail(QString::fromStdString(opened.Message()));
    card.card->GetLink()->SetTrace(std::move(wireTrace));
  }

  QSettings settings;
  CLinkSettingsStore store(settings);
  CRecentImages recentImages(settings);
  CMainFrame::Services services;
  services.card = std::move(card);
  services.settings = &store;
  services.recentImages = &recentImages;
  services.viewSettings = &settings;
  CMainFrame frame(std::move(services));
  frame.show();
  return application.exec();
}
