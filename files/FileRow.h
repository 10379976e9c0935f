#pragma once

#include <array>
#include <cstdint>
#include <string>

// One row of the file list: the texts of its nine columns, in column order,
// and the directory index of the entry it shows. The card's texts are bytes,
// kept unchanged (a text ends at its first zero byte or at its field's end).
struct FileRow {
  enum Column {
    kFileName,
    kShortDescription,
    kLongDescription,
    kApplication,
    kSize,
    kDate,
    kTime,
    kCopyProtected,
    kType,
    kColumnCount
  };

  std::uint16_t index = 0;
  std::array<std::string, kColumnCount> texts;
};

// The columns' headings, in column order.
inline constexpr std::array<const char*, FileRow::kColumnCount> kFileColumnHeadings = {
    "Filename",
    "Short Description",
    "Long Description",
    "Application",
    "Size",
    "Date",
    "Time",
    "Copy Protected",
    "Type"};

// What the File Properties dialog shows of one file.
struct FileProperties {
  std::string fileName;
  std::string shortDescription;
  std::string longDescription;
  std::string application;
  std::string type;
  std::string size;
  std::string date;
  std::string time;
  bool copyProtect = false;
};
