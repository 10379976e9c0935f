#pragma once

#include <string>

#include "FileTexts.h"

// How the card's texts (file names, descriptions) are turned into UTF-8.
// Western reads every byte as Latin-1; Japanese reads Shift-JIS wherever a
// text is valid Shift-JIS; Automatic reads a file's texts as Shift-JIS when
// one of them holds a double-byte character and all of them are valid
// Shift-JIS, so a save's half-width katakana follow its kanji.
enum class TextEncoding { Automatic, Western, Japanese };

// "auto", "latin1" and "sjis", as the command line and the settings name them.
const char* EncodingName(TextEncoding encoding);
bool EncodingFromName(const std::string& name, TextEncoding& encoding);

std::string DecodeLatin1(const std::string& bytes);
// False, leaving utf8 alone, when bytes are not valid Shift-JIS.
bool DecodeShiftJis(const std::string& bytes, std::string& utf8);
// Valid Shift-JIS holding at least one double-byte character.
bool HoldsDoubleByteShiftJis(const std::string& bytes);

// A copy of the raw texts with the card's texts decoded to UTF-8; the texts
// the program writes itself (size, date, ...) are ASCII and stay.
FileTexts DecodeFileTexts(const FileTexts& raw, TextEncoding encoding);
