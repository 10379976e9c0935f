#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "Result.h"

// A record of every register access, one line each, in order: "W 0 03",
// "R 1 40", "W 2 01" (kind, offset, value in two lowercase hex digits). It is
// what a user sends when a cable misbehaves.
class CWireTrace {
 public:
  explicit CWireTrace(std::unique_ptr<std::ostream> out);
  virtual ~CWireTrace();

  // Creates (or empties) the file and puts a trace that writes to it in out.
  static Result OpenFile(const std::string& path, std::unique_ptr<CWireTrace>& out);

  void RecordWrite(std::uint16_t offset, std::uint8_t value) { Record('W', offset, value); }
  void RecordRead(std::uint16_t offset, std::uint8_t value) { Record('R', offset, value); }
  void Flush();

 private:
  void Record(char kind, std::uint16_t offset, std::uint8_t value);

  std::unique_ptr<std::ostream> out_;
};
