// The input is the settings file that the command line shares with the
// desktop program, and on its own the text of a number as a user types it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "DecimalNumber.h"
#include "ScratchFile.h"
#include "SettingsFile.h"

namespace {
// A number is read only from its own digits: without the blanks around them
// and the leading zeros, they are the number written out again.
void CheckDecimal(std::string_view text) {
  std::uint32_t value = 0;
  if (ParseDecimal(text, value) != DecimalParse::Number) return;
  const auto first = text.find_first_not_of(" \t0");
  const auto last = text.find_last_not_of(" \t");
  const std::string digits =
      first == std::string_view::npos ? "0" : std::string(text.substr(first, last - first + 1));
  if (digits != std::to_string(value)) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CScratchFile input("Korvantis.conf");
  CheckDecimal(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!input.Write(data, size)) return 0;
  LinkSettings settings;
  static_cast<void>(ReadSettingsFile(input.Path(), settings));
  return 0;
}
