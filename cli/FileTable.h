#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FileTexts.h"

// All of these take texts already decoded to UTF-8 (CardText.h).

// A card's text made safe for a terminal and for one line of output, in the
// table, info and --tsv alike: tab, line feed, carriage return and backslash
// are written \t, \n, \r and \\; every other control character, C0 (0x00 to
// 0x1F), DEL (0x7F) and C1 (U+0080 to U+009F, or such a byte where the text
// is not UTF-8), as \xNN in lowercase hexadecimal (ESC is \x1b). Every other
// character is kept as it is.
std::string EscapeText(const std::string& text);
// The columns a UTF-8 text takes on a terminal, by the Unicode character
// tables: East Asian wide and full-width characters two, combining marks and
// other zero-width characters none, every other character one.
std::size_t DisplayWidth(const std::string& text);

// For scripts: a header row, then one row per file, tab-separated.
void PrintFilesTsv(const std::vector<FileTexts>& rows, std::ostream& out);
// For people: the same columns, aligned by display width.
void PrintFilesTable(const std::vector<FileTexts>& rows, std::ostream& out);
// For scripts: an array of one object per file, with the decoded texts and
// the raw bytes (each card text, the directory entry) as hex. raw[i] is
// decoded[i] before decoding.
void PrintFilesJson(const std::vector<FileTexts>& decoded, const std::vector<FileTexts>& raw,
                    std::ostream& out);
// The properties, one "Label: value" line each, in the dialog's order.
void PrintProperties(const FileTexts& properties, std::ostream& out);
