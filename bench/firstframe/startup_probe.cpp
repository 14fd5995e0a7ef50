// The program's own start-up as a whole process up to its frame's first
// paint: startup_probe DBFOLDER [talvessin|orsabrine]. Settings and the
// user-names file come from $HOME as in the program; point it at a fresh one.
#include <QApplication>
#include <string>
#include <vector>

#include "FirstFrame.h"
#include "Startup.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe DBFOLDER [talvessin|orsabrine]\n");
        return 2;
    }
    std::string folder = argv[1];
    std::string edition = argc > 2 ? argv[2] : "talvessin";
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QuitAfterFirstFrame quit;
    app.installEventFilter(&quit);
    Startup::ProgramSetup setup;
    setup.databaseFolder = folder;
    Startup::Program program(setup);
    Startup::StartResult result = program.Start(edition, {});
    if (result != Startup::StartResult::Running) return 1;
    return app.exec();
}
