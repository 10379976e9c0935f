#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FileTexts.h"

// The card's texts for a line of output: tab, line feed, carriage return and
// backslash written \t, \n, \r and \\, every other byte unchanged.
std::string EscapeText(const std::string& text);

// For scripts: a header row, then one row per file, tab-separated.
void PrintFilesTsv(const std::vector<FileTexts>& rows, std::ostream& out);
// For people: the same columns, aligned.
void PrintFilesTable(const std::vector<FileTexts>& rows, std::ostream& out);
// The properties, one "Label: value" line each, in the dialog's order.
void PrintProperties(const FileTexts& properties, std::ostream& out);
