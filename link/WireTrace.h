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

  // Creates the file at path and puts a trace that writes to it in out. A
  // name that is taken (by a symbolic link to nothing too) is refused unless
  // replace is given, and then emptied; a pipe or a device is written
  // straight through. Lines reach the file as each transaction ends.
  static Result OpenFile(const std::string& path, bool replace, std::unique_ptr<CWireTrace>& out);
  // An output that is the trace file at tracePath (none when empty), by
  // whatever name or link: nothing is saved over a trace being written to a
  // file.
  static Result CheckOutput(const std::string& tracePath, const std::string& path);

  void RecordWrite(std::uint16_t offset, std::uint8_t value) { Record('W', offset, value); }
  void RecordRead(std::uint16_t offset, std::uint8_t value) { Record('R', offset, value); }
  void Flush();

  // Whether every line so far reached the trace; a trace that lost any says
  // so, with the system's reason, and writes nothing more.
  Result GetResult() const;

 private:
  class CFileSink;
  void Record(char kind, std::uint16_t offset, std::uint8_t value);

  std::unique_ptr<std::ostream> out_;
  std::unique_ptr<CFileSink> sink_;  // out_'s buffer when the trace is a file
  std::string path_;
};
