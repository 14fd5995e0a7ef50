// The program's own start-up as a whole process up to its frame's first
// paint: startup_probe DBFOLDER [talvessin|orsabrine]. Settings and the
// user-names file come from $HOME as in the program; point it at a fresh one.
#include <QApplication>
#include <QWidget>
#include <QElapsedTimer>
#include <string>
#include <vector>

#include "DataBase.h"
#include "FirstFrame.h"
#include "Startup.h"
#include "WindowRegistry.h"
#include "WinMan.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe DBFOLDER [talvessin|orsabrine]\n");
        return 2;
    }
    std::string folder = argv[1];
    std::string edition = argc > 2 ? argv[2] : "talvessin";
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const qint64 appMs = clock.elapsed();
    app.setQuitOnLastWindowClosed(false);
    // The frame may be painted behind the welcome window before the load
    // ends: only a paint with the database loaded counts. (The window
    // manager's flag first: the file may be read on another thread until
    // the load step has waited for it.)
    QuitAfterFirstFrame quit(
        [] { return WinMan::databaseLoading && !WinMan::databaseLoading() && DataBase::numAtoms > 1; });
    app.installEventFilter(&quit);
    Startup::ProgramSetup setup;
    setup.databaseFolder = folder;
    setup.registerWindows = &WindowRegistry::RegisterAll;
    Startup::Program program(setup);
    Startup::StartResult result = program.Start(edition, {});
    if (result != Startup::StartResult::Running) return 1;
    // Whatever was painted during the start-up, the frame as it stands now.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->update();
    // With STARTUP_PROBE_TIMES set: where the time went, on stderr.
    if (qEnvironmentVariableIsSet("STARTUP_PROBE_TIMES"))
        std::fprintf(stderr, "QApplication %lld ms, Start %lld ms\n", static_cast<long long>(appMs),
                     static_cast<long long>(clock.elapsed() - appMs));
    return app.exec();
}
