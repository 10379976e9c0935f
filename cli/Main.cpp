// korvantis-cli: the desktop program's commands from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "TerminalProgress.h"

int main(int argc, char** argv) {
  CTerminalProgress::CatchInterrupts();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunCli(arguments, SystemCliEnvironment(), std::cout, std::cerr);
}
