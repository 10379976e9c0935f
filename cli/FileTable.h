#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FileTexts.h"

// A card's text made safe for a terminal and for one line of output, in the
// table, info and --tsv alike: tab, line feed, carriage return and backslash
// are written \t, \n, \r and \\; every other control character, C0 (0x00 to
// 0x1F), DEL (0x7F) and C1 (0x80 to 0x9F), as \xNN in lowercase hexadecimal
// (ESC is \x1b). The text may be UTF-8, where a C1 control is the character
// U+0080 to U+009F, or bytes of another encoding, where it is the byte; both
// are escaped, and every other character is kept as it is.
std::string EscapeText(const std::string& text);

// For scripts: a header row, then one row per file, tab-separated.
void PrintFilesTsv(const std::vector<FileTexts>& rows, std::ostream& out);
// For people: the same columns, aligned.
void PrintFilesTable(const std::vector<FileTexts>& rows, std::ostream& out);
// The properties, one "Label: value" line each, in the dialog's order.
void PrintProperties(const FileTexts& properties, std::ostream& out);
