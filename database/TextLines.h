// Splitting a text file's bytes into lines. Files that users copy between
// machines or edit by hand end their lines with CR LF, LF or a lone CR, and a
// reader of the program's text files accepts all three.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace TextLines {

// The lines of `bytes` without their line ends. CR LF, LF and CR each end a
// line; a last line without a line end is a line too, but a file that ends
// with a line end has no empty line after it. "" gives no lines.
std::vector<std::string> Split(std::string_view bytes);

// The whole file as bytes; false when it cannot be opened or read.
bool ReadAll(const std::string& path, std::string& bytes);

}  // namespace TextLines
