#include "FileTable.h"

#include <algorithm>
#include <array>

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
}  // namespace

std::string EscapeText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
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
      widths[i] = std::max(widths[i], cells[i].size());
  }
  for (const auto& cells : table) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) line += std::string(widths[i] - cells[i].size() + 2, ' ');
    }
    out << line << '\n';
  }
  if (rows.empty()) out << "No files.\n";
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
