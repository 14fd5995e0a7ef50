// makedb: the database compiler (see MakeDb.h).
#include <iostream>
#include <string>
#include <vector>

#include "MakeDb.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return MakeDb::Main(args, std::cout, std::cerr);
}
