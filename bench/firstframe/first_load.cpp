// The first load of a process: first_load FILE db|raw. "db" reads the
// database file into an emptied database, "raw" reads the file into a new
// buffer of its size (the yardstick); either writes its time in ms to stdout.
// One load per process, so nothing is reused from an earlier one.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "BinFile.h"
#include "DataBase.h"
#include "ToolArgs.h"

int main(int argc, char** argv) {
    const char* usage = "usage: first_load FILE db|raw\n";
    if (auto end = ToolArgs::EndEarly(ToolArgs::Args(argc, argv), usage)) return *end;
    if (argc != 3 || (std::strcmp(argv[2], "db") != 0 && std::strcmp(argv[2], "raw") != 0)) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string path = argv[1];
    const bool db = std::strcmp(argv[2], "db") == 0;
    // What both sides need before the timing: the process's own set-up.
    if (db) DataBase::InitDataBase();
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = false;
    if (db) {
        ok = DataBase::ReadBinFile(path).ok;
    } else if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        const long size = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        std::unique_ptr<unsigned char[]> buf(new unsigned char[static_cast<size_t>(size)]);
        ok = std::fread(buf.get(), 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
        std::fclose(f);
        // The buffer's pages are the reader's to touch as well.
        volatile unsigned char sink = buf[static_cast<size_t>(size) - 1];
        (void)sink;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%.3f\n", ms);
    std::fflush(stdout);
    std::_Exit(ok ? 0 : 1);
}
