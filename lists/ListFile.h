// The list file format and the safe writing of files the user owns.
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

namespace ListFile {

constexpr int kMaxString = 32767;
constexpr const char* kHeaderTail = " V1 Binary ResultSet File";

// The header String for the current text language.
std::string HeaderText();
// True for the sort orders a list file may hold.
bool IsStoredSortOrder(int order);

// Writes bytes to path so that the old file stays whole until the new one is
// complete: a temporary file in the same folder, flushed, then renamed over
// path. On failure nothing at path has changed; errorNumber is the run-time
// error number.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, int& errorNumber);
// Reads a whole file; false with the run-time error number on failure.
bool ReadWholeFile(const std::string& path, std::string& bytes, int& errorNumber);
bool FileExists(const std::string& path);

}  // namespace ListFile
