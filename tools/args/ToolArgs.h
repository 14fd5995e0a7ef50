// The command line of a tool or a benchmark program, looked at before the
// program does anything: "--help" or "-h" prints its usage and ends it with
// status 0; an empty argument, an argument beginning with "-" that is none of
// its options, or an option without the value it takes prints the usage and
// ends it with status 2. None of them writes a file: an option is never taken
// for the folder or file the program writes to, nor "" for a folder.
//
//   if (auto end = ToolArgs::EndEarly(args, "usage: gendb DIR\n")) return *end;
//   // "gendb --help": the usage on stdout, status 0
//   // "gendb -x":     "unknown option -x" and the usage on stderr, status 2
//   // "gendb ''":     "empty argument" and the usage on stderr, status 2
//   ToolArgs::EndEarly(args, usage, {"--out DIR", "--check"});
//   // "--out" takes a value: "tool --out" and "tool --out --check" give
//   // "--out needs DIR" and the usage on stderr, status 2
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

inline bool AsksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

// The status to end the program with, or nothing when it may go on. options:
// those the program takes, each followed by the name of its value when it
// takes one ("--out DIR"); a lone "-" is no option.
inline std::optional<int> EndEarly(const std::vector<std::string>& args, std::string_view usage,
                                   std::initializer_list<std::string_view> options = {},
                                   std::ostream& out = std::cout, std::ostream& err = std::cerr) {
    if (AsksForHelp(args)) {
        out << usage;
        return 0;
    }
    auto isOption = [](const std::string& a) { return a.size() > 1 && a[0] == '-'; };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string refused;
        if (a.empty()) {
            refused = "empty argument";
        } else if (isOption(a)) {
            auto o = std::find_if(options.begin(), options.end(),
                                  [&](std::string_view o) { return o.substr(0, o.find(' ')) == a; });
            const std::size_t space = o == options.end() ? 0 : o->find(' ');
            if (o == options.end())
                refused = "unknown option " + a;
            else if (space != std::string_view::npos && (i + 1 == args.size() || isOption(args[i + 1])))
                refused = a + " needs " + std::string(o->substr(space + 1));
        }
        if (!refused.empty()) {
            err << refused << "\n" << usage;
            return 2;
        }
    }
    return std::nullopt;
}

}  // namespace ToolArgs
