#include "WireTrace.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "Messages.h"

CWireTrace::CWireTrace(std::unique_ptr<std::ostream> out) : out_(std::move(out)) {}

CWireTrace::~CWireTrace() {
  Flush();
}

Result CWireTrace::OpenFile(const std::string& path, std::unique_ptr<CWireTrace>& out) {
  auto file = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc);
  if (!file->is_open()) {
    return Result::Failure(Fill(message::kCannotWriteTrace, {path, std::strerror(errno)}));
  }
  out = std::make_unique<CWireTrace>(std::move(file));
  return Result();
}

void CWireTrace::Record(char kind, std::uint16_t offset, std::uint8_t value) {
  static const char kHex[] = "0123456789abcdef";
  const char line[] = {
      kind, ' ', static_cast<char>('0' + offset % 10), ' ', kHex[value >> 4], kHex[value & 0x0F],
      '\n'};
  out_->write(line, sizeof line);
}

void CWireTrace::Flush() {
  out_->flush();
}
