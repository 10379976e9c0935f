#include "SafeFileName.h"

#include <cstdio>

#include "ListedFile.h"
#include "VmuDirEntry.h"

namespace {
bool IsLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsSafe(char c) {
  return IsLetterOrDigit(c) || c == '-' || c == '_' || c == '.';
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
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

std::string DistinctFileStem(std::uint16_t slot, const std::string& cardName,
                             std::set<std::string>& taken) {
  std::string first;
  if (cardName.find_first_not_of(std::string(" \0", 2)) == std::string::npos) {
    char name[16];
    std::snprintf(name, sizeof name, "slot-%02u", unsigned{slot});
    first = name;
  } else {
    first = SafeFileStem(cardName);
  }
  std::string stem = first;
  for (unsigned n = 2; !taken.insert(Lower(stem)).second; ++n)
    stem = first + "-" + std::to_string(n);
  return stem;
}

std::string DistinctShortStem(std::uint16_t slot, const std::string& cardName, std::size_t length,
                              std::set<std::string>& taken) {
  std::string first;
  for (const char c : cardName)
    if (IsLetterOrDigit(c) && first.size() < length) first += c;
  if (first.empty()) {
    char name[16];
    std::snprintf(name, sizeof name, "SLOT%02u", unsigned{slot});
    first = std::string(name).substr(0, length);
  }
  std::string stem = first;
  for (unsigned n = 2; !taken.insert(Lower(stem)).second; ++n) {
    const std::string number = std::to_string(n);
    stem = first.substr(0, length > number.size() ? length - number.size() : 0) + number;
  }
  return stem;
}

std::string SuggestedFileName(const ListedFile& file, const std::string& extension) {
  if (file.entryBytes.size() != CVmuDirEntry::kLength) return std::string();
  CVmuDirEntry entry;
  entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(file.entryBytes.data()));
  char name[CVmuDirEntry::kFileNameLength + 1];
  entry.GetFileName(name);
  std::set<std::string> none;
  return DistinctFileStem(file.index, name, none) + "." + extension;
}
