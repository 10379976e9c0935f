#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "AdapterClock.h"
#include "FileCalls.h"
#include "PortRoadChooser.h"

// What korvantis-cli takes from the machine it runs on; tests put in their own.
struct CliEnvironment {
  std::string settingsPath;                // the desktop program's settings file
  std::string safetyCopies;                // the safety-copies folder; empty: the user has none
  PortRoadChooser chooser;                 // how a real port is reached
  FileCalls imageCalls = RealFileCalls();  // how a card image is read, written and synced
  bool stderrIsTerminal = false;           // draw the progress bar
  std::istream* terminal = nullptr;        // where questions are answered; none without a terminal
  CAdapterClock* adapterClock = &CSteadyAdapterClock::Instance();  // the USB adapter's deadlines
  bool simulatedDrive = false;  // the simulated adapter also shows its cards as a USB drive
};

CliEnvironment SystemCliEnvironment();

// Runs korvantis-cli with its arguments (without the program name) and returns
// its exit status: 0 done, 1 failed (the message is on err), 2 wrong command
// line, 130 cancelled with Ctrl-C.
int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment,
           std::ostream& out, std::ostream& err);
