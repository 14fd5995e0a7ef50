// The program's entry point. Both editions are this one program: the name it
// was started under chooses the edition.
#include <QApplication>
#include <string>
#include <vector>

#include "ShellKit.h"
#include "Startup.h"
#include "WindowRegistry.h"

int main(int argc, char** argv) {
    // The program's name as it was started, before Qt sees the arguments.
    std::string argv0 = argc > 0 ? argv[0] : "";
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // The database read and the fonts' setting-up begin at once, on threads
    // of their own, while Qt starts and the frame is built.
    Startup::EarlyStart early(argv0);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(ProgramIcon());
    int code;
    {
        // The program's top wires the windows to the shell below them.
        Startup::ProgramSetup setup;
        setup.early = &early;
        setup.registerWindows = &WindowRegistry::RegisterAll;
        Startup::Program program(setup);
        Startup::StartResult result = program.Start(argv0, args);
        code = result == Startup::StartResult::Running ? app.exec() : Startup::ExitCode(result);
    }
    return code;
}
