// The program's entry point. Both editions are this one program: the name it
// was started under chooses the edition.
#include <cstdio>

int main(int argc, char** argv) {
    std::fprintf(stderr, "%s: the program's windows are not built yet.\n", argc > 0 ? argv[0] : "talvessin");
    return 0;
}
