// The list file format, and its place among the file commands.
//
// A list file is little-endian binary. A String is a 16-bit signed length n
// followed by n cp1252 bytes. In order: the header String (edition word of
// the text language & " V1 Binary ResultSet File"), the generation (16-bit,
// 0), the fixed title, the pure title, the sort order (16-bit), the line
// count, the name count and the group count (32-bit each), per line the
// display text, the reason and the atom's internal name (empty without
// atom), and the end mark "end".
//
// The writer writes nothing the reader refuses: every String of 0..32,767
// characters, any number of lines, the sort orders the lists know (0..20 and
// 99). Files of the old limits (300 characters, 20,000 lines) read as before.
#pragma once

#include <string>

#include "FileOp.h"

namespace ListFile {

constexpr int kMaxString = 32767;
constexpr const char* kHeaderTail = " V1 Binary ResultSet File";

// The header String for the current text language.
std::string HeaderText();
// True for the sort orders a list file may hold.
bool IsStoredSortOrder(int order);

// The list file format as the file commands use it (load with the atom
// texts refreshed, save); start-up hands it to FileOp::SetListFileFormat.
FileOp::ListFileFormat& TheFormat();

}  // namespace ListFile
