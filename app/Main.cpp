// korvantis: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Icons.h"
#include "LinkSettingsStore.h"
#include "MainFrame.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
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

int Fail(const QString& text) {
  std::fprintf(stderr, "korvantis: %s\n", text.toLocal8Bit().constData());
  QMessageBox::critical(nullptr, "Korvantis", text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs(
        "korvantis: there is no display to show the window on. Run it on a desktop, or use\n"
        "korvantis-cli for the card's files (korvantis-cli --help).\n",
        stderr);
    return 1;
  }
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName("Vellquist");
  QCoreApplication::setApplicationName("Korvantis");
  QCoreApplication::setApplicationVersion("0.11 Alpha");
  QApplication::setWindowIcon(ProgramIcon());
  Q_INIT_RESOURCE(resources);

  QCommandLineParser parser;
  parser.setApplicationDescription("Korvantis: the Dreamcast memory card on the parallel port.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption simulate(
      "simulate", "Run on a simulated card whose memory is FILE (.dcm, .bin or .vmu).", "FILE");
  const QCommandLineOption trace("trace", "Write every register access to FILE.", "FILE");
  parser.addOption(simulate);
  parser.addOption(trace);
  parser.process(application);

  CSimulatedCard simulated;  // outlives the card object that reaches it
  std::unique_ptr<CVmuCard> card;
  if (parser.isSet(simulate)) {
    std::string error;
    if (!simulated.OpenImage(parser.value(simulate).toStdString(), error)) {
      return Fail(QString::fromStdString(error));
    }
    card = std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(simulated));
  } else {
    card = std::make_unique<CVmuCard>();
  }
  if (parser.isSet(trace)) {
    std::string error;
    auto wireTrace = CWireTrace::OpenFile(parser.value(trace).toStdString(), error);
    if (!wireTrace) return Fail(QString::fromStdString(error));
    card->GetLink()->SetTrace(std::move(wireTrace));
  }

  QSettings settings;
  CLinkSettingsStore store(settings);
  CMainFrame::Services services;
  services.card = std::move(card);
  services.settings = &store;
  CMainFrame frame(std::move(services));
  frame.show();
  return application.exec();
}
