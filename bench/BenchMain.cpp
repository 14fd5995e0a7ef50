// The main of every benchmark program: the library's own, after the check
// of the command line that the tools make: "--help" or "-h" prints the usage
// and the library's flags, an argument that is none of them is refused with
// the usage (status 2).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "ToolArgs.h"

int main(int argc, char** argv) {
    const std::string usage = "usage: " + std::filesystem::path(argv[0]).filename().string() +
                              " [--benchmark_filter=REGEX] [--benchmark_...=VALUE]...\n";
    if (ToolArgs::AsksForHelp(ToolArgs::Args(argc, argv))) {
        std::cout << usage;
        benchmark::PrintDefaultHelp();
        return 0;
    }
    benchmark::Initialize(&argc, argv);  // takes away the flags it knows
    if (argc > 1) {
        std::cerr << (argv[1][0] == '-' ? "unknown option " : "unknown argument ") << argv[1] << "\n" << usage;
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
