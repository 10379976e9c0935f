#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CardText.h"
#include "FileTexts.h"

// All of these take texts already decoded to UTF-8 (CardText.h).

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
