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
// The bytes of the well-formed UTF-8 sequence of one character beyond ASCII
// that starts at at; 0 when there is none (ASCII, or bytes that are no UTF-8).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned lead = byte(at);
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  }
  if (length == 0 || at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(at + k) < 0x80 || byte(at + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string EscapeText(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(text.size());
  auto code = [&escaped](unsigned value) {
    escaped += "\\x";
    escaped += kHex[value >> 4];
    escaped += kHex[value & 0x0F];
  };
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (const std::size_t length = Utf8Length(text, at); length > 1) {
      // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
      const auto second = static_cast<unsigned char>(text[at + 1]);
      if (byte == 0xC2 && second < 0xA0) {
        code(second);
      } else {
        escaped.append(text, at, length);
      }
      at += length;
      continue;
    }
    ++at;
    switch (byte) {
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
        // A byte that is a C1 control on its own, as a terminal that reads
        // single bytes takes it, goes the same way as C0 and DEL.
        if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte < 0xA0)) {
          code(byte);
        } else {
          escaped += static_cast<char>(byte);
        }
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
