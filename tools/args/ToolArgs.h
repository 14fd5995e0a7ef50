// The command line of a tool or a benchmark program, looked at before the
// program does anything: "--help" or "-h" prints its usage and ends it with
// status 0; any other argument beginning with "-" that is none of its options
// prints the usage and ends it with status 2. Neither writes a file: an
// option is never taken for the folder or file the program writes to.
//
//   if (auto end = ToolArgs::EndEarly(args, "usage: gendb DIR\n")) return *end;
//   // "gendb --help": the usage on stdout, status 0
//   // "gendb -x":     "unknown option -x" and the usage on stderr, status 2
#pragma once

#include <algorithm>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ToolArgs {

// The arguments after the program's name.
inline std::vector<std::string> Args(int argc, char** argv) { return {argv + 1, argv + argc}; }

// The status to end the program with, or nothing when it may go on. options:
// those the program takes ("--out"); a lone "-" is no option.
inline std::optional<int> EndEarly(const std::vector<std::string>& args, std::string_view usage,
                                   std::initializer_list<std::string_view> options = {},
                                   std::ostream& out = std::cout, std::ostream& err = std::cerr) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            out << usage;
            return 0;
        }
    }
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-' && std::find(options.begin(), options.end(), a) == options.end()) {
            err << "unknown option " << a << "\n" << usage;
            return 2;
        }
    }
    return std::nullopt;
}

}  // namespace ToolArgs
