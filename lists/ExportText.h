// The plain-text and CSV export of a list: the file's lines, built in memory
// as the program's cp1252 texts with each line ending in "\n", and the one
// write that puts them in the user's file. An export is a file for other
// programs: text and CSV are written in UTF-8 (CSV with a byte-order mark,
// which spreadsheet programs take as the sign of UTF-8); RTF, plain ASCII
// with its escapes, is written as it is. The RTF export and the descriptions
// of a list's lines are built in describe/ListDescriptions.
//
//   plain text, names and reasons:   "Anna                Female name"
//   CSV with semicolons:             "\"Anna\";\"Female name\""
#pragma once

#include <cstdint>
#include <string>

#include "Services.h"

class ResultSet;

namespace ExportText {

// The formats and scopes, numbered as the window's option buttons.
enum Format { kText = 0, kCsvComma = 1, kCsvSemi = 2, kRtfBW = 3, kRtfColor = 4 };
enum Scope { kNames = 0, kNamesReasons = 1, kDescr = 2 };

inline bool IsCsv(int format) { return format == kCsvComma || format == kCsvSemi; }
inline bool IsRtf(int format) { return format == kRtfBW || format == kRtfColor; }
// "," for the comma format, ";" for every other.
inline const char* Delimiter(int format) { return format == kCsvComma ? "," : ";"; }

// Whether exporting a list of n lines this way asks first: descriptions of
// more than 1000 lines, or of more than 200 in RTF.
bool AsksFirst(int format, int scope, int32_t n);

// One CSV cell: the text between double quotes, inner quotes doubled, and an
// apostrophe before a text a spreadsheet would run as a formula ("=", "+",
// "-" or "@" first): CsvCell("=3") gives "\"'=3\"".
std::string CsvCell(const std::string& text);

// The text of a description line made fit for a plain file: non-breaking
// spaces become blanks, and blanks after "(" or "=" go ("(  alt" gives "(alt").
std::string PlainDescrLine(std::string text);

// Names alone or with their reasons (scopes 0 and 1), as text or CSV. A CSV
// file starts with its header. progress (optional) gets maximum n and moves
// once per line.
std::string ListText(const ResultSet& list, int format, int scope, Services::Progress* progress);

// The lines of descriptions (plain lines "heading TAB value", as the
// description builder makes them) as text (headings padded to 27) or CSV.
std::string DescrText(const ResultSet& descriptions, int format);

// The bytes of an export file in the format: FileBytes(kCsvSemi, "\"Zo\xEB\"\n")
// gives "\xEF\xBB\xBF\"Zo\xC3\xAB\"\n"; an RTF text comes back unchanged.
std::string FileBytes(int format, const std::string& contents);

// Writes the contents of an export in the format (as FileBytes makes them)
// to the file at path (a program path) on file number 7; the old file is
// replaced only when the new one is complete. True when the file was written
// and closed; a failure has been told to the user (with the chance to try
// again) and leaves any older file as it was.
bool WriteFile(const std::string& path, const std::string& contents, int format);

}  // namespace ExportText
