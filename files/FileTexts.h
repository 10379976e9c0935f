#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

class CVmuCard;
class CVmuDirEntry;

// The file list's columns, in order.
enum class FileColumn {
  FileName,
  ShortDescription,
  LongDescription,
  Application,
  Size,
  Date,
  Time,
  CopyProtected,
  Type
};
inline constexpr std::size_t kFileColumnCount = 9;

// The columns' headings, in column order.
inline constexpr std::array<const char*, kFileColumnCount> kFileColumnHeadings = {
    "Filename",
    "Short Description",
    "Long Description",
    "Application",
    "Size",
    "Date",
    "Time",
    "Copy Protected",
    "Type"};

// What the file list, the File Properties dialog and the command line show of
// one file. The card's texts are its bytes, unchanged, up to the first zero
// byte or the end of their field (CardText.h decodes them for display).
struct FileTexts {
  std::uint16_t index = 0;                            // the entry's directory index
  std::array<std::string, kFileColumnCount> columns;  // the list's texts, by column
  bool copyProtect = false;                           // the entry's copy-protect byte is not 0
  std::string entryBytes;                             // the directory entry's 32 bytes
  std::string headerBytes;  // the header block's 512 bytes; empty when it was not read

  std::string& Text(FileColumn column) { return columns[static_cast<std::size_t>(column)]; }
  const std::string& Text(FileColumn column) const {
    return columns[static_cast<std::size_t>(column)];
  }
};

// The texts of directory entry index, which the caller has just read: those
// of the entry itself, and the descriptions from the file's header block (a
// data file's first block, a game file's second, along its allocation chain).
// A header that cannot be read leaves the three descriptions empty; why, when
// the card said, goes to header (done otherwise).
FileTexts DescribeFile(CVmuCard& card, std::uint16_t index, const CVmuDirEntry& entry,
                       Result* header = nullptr);

// The texts of a file just written to slot index: its entry, and its bytes
// from the first block as they went to the card. Nothing is read; the header
// bytes take the rest of the icon's first frame too, as a listing with icons
// does (CardIcon.h).
FileTexts DescribeWrittenFile(std::uint16_t index, const CVmuDirEntry& entry,
                              const std::vector<std::uint8_t>& blocks);
