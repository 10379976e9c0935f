#include "FileExtension.h"

#include <cstring>

namespace card_format {

bool HasExtension(const std::string& path, const char* extension) {
  const std::size_t length = std::strlen(extension);
  if (path.size() <= length) return false;
  const std::size_t dot = path.size() - length - 1;
  if (path[dot] != '.') return false;
  for (std::size_t i = 0; i < length; ++i) {
    char c = path[dot + 1 + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

}  // namespace card_format
