// The input is the settings file that the command line shares with the
// desktop program.

#include <cstddef>
#include <cstdint>

#include "ScratchFile.h"
#include "SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CScratchFile input("Korvantis.conf");
  if (!input.Write(data, size)) return 0;
  ReadSettingsFile(input.Path());
  return 0;
}
