#include "DcmFile.h"

#include <fstream>

#include "CardFormat.h"
#include "FileWriter.h"
#include "Messages.h"

namespace {
constexpr std::streamsize kPageBytes = card_format::kPageSize;
}  // namespace

Result SaveDcmFile(const std::string& path, const std::uint8_t* page) {
  return WriteFileReplacing(path, page, card_format::kPageSize);
}

Result LoadDcmFile(const std::string& path, std::uint8_t* page) {
  std::ifstream in(path, std::ios::binary);
  if (in.is_open()) in.read(reinterpret_cast<char*>(page), kPageBytes);
  if (!in.is_open() || in.gcount() != kPageBytes) return Result::Failure(message::kCannotRead.text);
  return Result();
}
