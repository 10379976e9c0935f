#include "FileTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include <uniwidth.h>

#include "Messages.h"

namespace {

std::vector<std::string> Cells(const FileTexts& row) {
  std::vector<std::string> cells = {std::to_string(row.index)};
  for (const std::string& text : row.columns)
    cells.push_back(EscapeText(text));
  return cells;
}

std::vector<std::string> Headings() {
  std::vector<std::string> cells = {"Index"};
  cells.insert(cells.end(), kFileColumnHeadings.begin(), kFileColumnHeadings.end());
  return cells;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (const char c : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
    hex += pair;
  }
  return hex;
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

// The JSON names of the columns, in column order.
constexpr std::array<const char*, kFileColumnCount> kJsonNames = {"filename",
                                                                  "shortDescription",
                                                                  "longDescription",
                                                                  "application",
                                                                  "size",
                                                                  "date",
                                                                  "time",
                                                                  "copyProtected",
                                                                  "type"};
constexpr std::size_t kCardTextCount = 4;  // the first four columns are the card's texts

}  // namespace

std::size_t DisplayWidth(const std::string& text) {
  // "UTF-8" rather than the locale's encoding: characters of ambiguous width
  // (the accented Latin letters among them) take one column, as in a Western
  // terminal; in a CJK locale they would take two.
  const int width =
      u8_width(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "UTF-8");
  return static_cast<std::size_t>(std::max(width, 0));
}

void PrintFilesTsv(const std::vector<FileTexts>& rows, std::ostream& out) {
  auto print = [&out](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      out << (i ? "\t" : "") << cells[i];
    out << '\n';
  };
  print(Headings());
  for (const FileTexts& row : rows)
    print(Cells(row));
}

void PrintFilesTable(const std::vector<FileTexts>& rows, std::ostream& out) {
  std::vector<std::vector<std::string>> table = {Headings()};
  for (const FileTexts& row : rows)
    table.push_back(Cells(row));
  std::vector<std::size_t> widths(table[0].size(), 0);
  for (const auto& cells : table) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      widths[i] = std::max(widths[i], DisplayWidth(cells[i]));
  }
  for (const auto& cells : table) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) line += std::string(widths[i] - DisplayWidth(cells[i]) + 2, ' ');
    }
    out << line << '\n';
  }
  if (rows.empty()) out << message::kNoFiles.text << '\n';
}

void PrintFilesJson(const std::vector<FileTexts>& decoded, const std::vector<FileTexts>& raw,
                    std::ostream& out) {
  out << '[';
  for (std::size_t r = 0; r < decoded.size(); ++r) {
    out << (r ? ",\n " : "\n ") << "{\"index\": " << decoded[r].index;
    for (std::size_t c = 0; c < kFileColumnCount; ++c)
      out << ", \"" << kJsonNames[c] << "\": " << JsonString(decoded[r].columns[c]);
    out << ", \"raw\": {";
    for (std::size_t c = 0; c < kCardTextCount; ++c)
      out << '"' << kJsonNames[c] << "\": \"" << Hex(raw[r].columns[c]) << "\", ";
    out << "\"entry\": \"" << Hex(raw[r].entryBytes) << "\"}}";
  }
  out << (decoded.empty() ? "]\n" : "\n]\n");
}

void PrintProperties(const FileTexts& properties, std::ostream& out) {
  auto line = [&](const char* label, FileColumn column) {
    out << label << ": " << EscapeText(properties.Text(column)) << '\n';
  };
  line("Filename", FileColumn::FileName);
  line("Short Description", FileColumn::ShortDescription);
  line("Long Description", FileColumn::LongDescription);
  line("Application", FileColumn::Application);
  line("Type", FileColumn::Type);
  line("Size", FileColumn::Size);
  line("Date", FileColumn::Date);
  line("Time", FileColumn::Time);
  line("Copy Protect", FileColumn::CopyProtected);
}
