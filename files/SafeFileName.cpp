#include "SafeFileName.h"

namespace {
bool IsSafe(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}
}  // namespace

std::string SafeFileStem(const std::string& cardName) {
  std::string stem;
  for (const char c : cardName)
    stem += IsSafe(c) ? c : '_';
  // Card names are padded with blanks, which became underscores.
  while (!stem.empty() && stem.back() == '_' && cardName[stem.size() - 1] == ' ')
    stem.pop_back();
  if (stem.empty() || stem.front() == '.') return stem.empty() ? "file" : "file" + stem;
  return stem;
}
