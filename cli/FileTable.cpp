#include "FileTable.h"

#include <algorithm>
#include <array>
#include <cstdio>

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

// The code point starting at text[i]; i moves past it. Texts come from our
// own decoders, so the sequences are whole.
char32_t NextCodePoint(const std::string& text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  char32_t point = lead & (0x3F >> extra);
  for (int k = 0; k < extra && i < text.size(); ++k)
    point = point << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
  return point;
}

bool IsWide(char32_t point) {
  static constexpr std::pair<char32_t, char32_t> kWide[] = {
      {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
      {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
      {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD}};
  for (const auto& [first, last] : kWide)
    if (point >= first && point <= last) return true;
  return false;
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

std::string EscapeText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const char32_t point = NextCodePoint(text, i);
    switch (point) {
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
        if (point < 0x20 || (point >= 0x7F && point <= 0x9F)) {
          char code[8];
          std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(point));
          escaped += code;
        } else {
          escaped.append(text, start, i - start);
        }
    }
  }
  return escaped;
}

std::size_t DisplayWidth(const std::string& text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();)
    width += IsWide(NextCodePoint(text, i)) ? 2 : 1;
  return width;
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
  if (rows.empty()) out << "No files.\n";
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
