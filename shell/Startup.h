// The program's run: the real services, the windows of the shell and the
// start-up steps, in the order StartupModel.h gives them.
//
//   QApplication app(argc, argv);
//   Startup::Program program({.registerWindows = &WindowRegistry::RegisterAll});
//   if (program.Start(argv[0], args) == Startup::StartResult::Running) app.exec();
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EarlyStart.h"
#include "StartupModel.h"

class KFrame;
class Welcome;

namespace Startup {

struct ProgramSetup {
    // Install the real services (message boxes, dialogs, settings file, ...).
    // False keeps the services installed before (tests, benchmarks).
    bool installServices = true;
    // The folder of the database files; "" for the program's folder.
    std::string databaseFolder;
    // The settings file; "" for the user's default one.
    std::string settingsPath;
    // Read the database file on a thread of its own while the frame is
    // built. False reads it at the load step, after the welcome window has
    // been shown (tests that need that order whatever the machine's speed).
    bool readDatabaseEarly = true;
    // What main began before its QApplication (the database read, the
    // fonts' setting-up), or null: the load step takes the read when it is
    // of the file it loads, and the frame is built once the fonts are set up.
    EarlyStart* early = nullptr;
    // Registers the child windows with the window manager once its table is
    // fresh, before anything can ask for a window. The program's top hands
    // WindowRegistry::RegisterAll (the shell cannot name the windows above
    // it); left empty, only the shell's own windows exist.
    std::function<void()> registerWindows;
};

class Program {
public:
    explicit Program(ProgramSetup setup = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start-up sequence; argv0 chooses the edition, args are the
    // program's arguments without its own path.
    StartResult Start(const std::string& argv0, const std::vector<std::string>& args);

    KFrame* Frame() const;
    Welcome* WelcomeWindow() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The exit code of a run that ended this way.
int ExitCode(StartResult result);

}  // namespace Startup
