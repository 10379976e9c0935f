#include "DcmFile.h"

#include <algorithm>
#include <vector>

#include "CardFormat.h"
#include "FileReader.h"
#include "FileWriter.h"
#include "Messages.h"

Result SaveDcmFile(const std::string& path, const std::uint8_t* page) {
  return WriteFileReplacing(path, page, card_format::kPageSize);
}

Result LoadDcmFile(const std::string& path, std::uint8_t* page) {
  std::vector<std::uint8_t> bytes;
  const Result read = ReadRegularFile(path, bytes, card_format::kPageSize);
  if (!read) {
    return Result::Failure(Fill(message::kCannotReadWhy, {read.Message()}));
  }
  if (bytes.size() != card_format::kPageSize) return Result::Failure(message::kCannotRead.text);
  std::copy(bytes.begin(), bytes.end(), page);
  return Result();
}
