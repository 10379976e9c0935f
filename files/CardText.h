#pragma once

#include <string>

#include "FileTexts.h"

// How the card's texts (file names, descriptions) are turned into UTF-8.
// Western reads every byte as Latin-1; Japanese reads Shift-JIS wherever a
// text is valid Shift-JIS; Automatic reads a file's texts as Shift-JIS when
// all of them are valid Shift-JIS and one of them looks Japanese, so a
// save's half-width katakana follow its kanji.
enum class TextEncoding { Automatic, Western, Japanese };

// "auto", "latin1" and "sjis", as the command line and the settings name them.
const char* EncodingName(TextEncoding encoding);
bool EncodingFromName(const std::string& name, TextEncoding& encoding);

std::string DecodeLatin1(const std::string& bytes);
// False, leaving utf8 alone, when bytes are not valid Shift-JIS.
bool DecodeShiftJis(const std::string& bytes, std::string& utf8);
// Bytes that Western text hardly ever holds and Japanese text often does: a
// double-byte character whose lead byte is a Latin-1 control code (0x81 to
// 0x9F) or whose two bytes are both above 0x7F, or three half-width katakana
// in a row. An accented letter before an ASCII one is no such evidence.
bool LooksJapanese(const std::string& bytes);

// A copy of the raw texts with the card's texts decoded to UTF-8; the texts
// the program writes itself (size, date, ...) are ASCII and stay.
FileTexts DecodeFileTexts(const FileTexts& raw, TextEncoding encoding);

// A card's text made safe to show on one line, on a terminal (the command
// line's table, info and --tsv) and in a window (the list, the properties): tab, line feed,
// carriage return and backslash are written \t, \n, \r and \\; every other control character, C0
// (0x00 to 0x1F), DEL (0x7F) and C1 (U+0080 to U+009F, or such a byte where the text is not UTF-8),
// as \xNN in lowercase hexadecimal (ESC is \x1b). Every other character is kept as it is.
std::string EscapeText(const std::string& text);
// A copy of decoded texts with the card's texts escaped as EscapeText does:
// what a window shows, so that a byte no font can draw reads as its code.
FileTexts EscapeCardTexts(const FileTexts& decoded);
