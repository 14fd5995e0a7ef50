// The program's own start-up as a whole process up to its frame's first
// paint: startup_probe DBFOLDER [talvessin|orsabrine] [--open WINDOW |
// --menu-titles].
// Settings and the user-names file come from $HOME as in the program; point
// it at a fresh one. With --open, the window is then opened as the run's
// first and the time from the command to its first paint is written to
// stdout in ms (the run's first window: nothing of it was used before). The
// command comes as a user's would: from the event loop, a moment after the
// frame has appeared (no one clicks sooner), not inside the program's own
// handling of the events it queued at its first paint. With --menu-titles,
// the titles of the frame's menu bar are written to stdout, one a line, for
// the yardstick that shows them (empty_qt --menus).
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <string>
#include <vector>

#include "Auto.h"
#include "FormBase.h"
#include "DataBase.h"
#include "FirstFrame.h"
#include "ShellKit.h"
#include "Startup.h"
#include "ToolArgs.h"
#include "WindowRegistry.h"
#include "WinMan.h"

// How long after the frame's first paint the window's command comes.
constexpr int kCommandDelayMs = 100;

int main(int argc, char** argv) {
    const char* usage = "usage: startup_probe DBFOLDER [talvessin|orsabrine] [--open WINDOW | --menu-titles]\n";
    if (auto end = ToolArgs::EndEarly(ToolArgs::Args(argc, argv), usage, {"--open WINDOW", "--menu-titles"})) return *end;
    if (argc < 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    std::string folder = argv[1];
    std::string edition = argc > 2 && argv[2][0] != '-' ? argv[2] : "talvessin";
    std::string window;
    bool menuTitles = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--open") == 0 && i + 1 < argc) window = argv[i + 1];
        if (std::strcmp(argv[i], "--menu-titles") == 0) menuTitles = true;
    }
    QElapsedTimer clock;
    clock.start();
    Startup::EarlyStart early(edition, folder);  // as the program's main does
    FirstFrameApp app(argc, argv);
    const qint64 appMs = clock.elapsed();
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(ProgramIcon());  // as the program's main does
    // The frame may be painted behind the welcome window before the load
    // ends: only a paint with the database loaded counts. (The window
    // manager's flag first: the file may be read on another thread until
    // the load step has waited for it.)
    std::function<void()> openWindow;
    if (!window.empty()) openWindow = [&window] {
        QElapsedTimer clock;
        clock.start();
        WinMan::OpenForm(window);
        FormBase* form = Auto::GetForm(window);
        // Whatever the window has left for the event loop, then its paint.
        QCoreApplication::processEvents();
        if (form && form->Host()) form->Host()->repaint();
        std::printf("%.3f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (!form || !form->Host() || !form->Host()->isVisible()) std::_Exit(3);
    };
    if (menuTitles) openWindow = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* frame = qobject_cast<QMainWindow*>(w); frame && frame->isVisible())
                for (QAction* a : frame->menuBar()->actions())
                    if (!a->text().isEmpty()) std::printf("%s\n", a->text().toUtf8().constData());
    };
    app.SetFirstFrame(
        [] { return WinMan::databaseLoading && !WinMan::databaseLoading() && DataBase::numAtoms > 1; }, openWindow,
        menuTitles ? 0 : kCommandDelayMs);
    Startup::ProgramSetup setup;
    setup.databaseFolder = folder;
    setup.early = &early;
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
