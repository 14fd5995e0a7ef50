// What the window benchmarks share: Qt offscreen with the program's texts of
// the English edition, an MDI area in which the window manager opens the
// windows, and the window manager as the search engine sees it.
#pragma once

#include <QApplication>
#include <QMdiArea>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "Dates.h"
#include "FormBase.h"
#include "GenMsg.h"
#include "Options.h"
#include "Parser.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "WindowContracts.h"

namespace WindowBench {

// Opens a window through the window manager; null when it is not a W.
template <class W>
W* OpenWindow(const std::string& name) {
    WinMan::OpenForm(name);
    return dynamic_cast<W*>(Auto::GetForm(name));
}

// The window manager as the search engine sees it.
class Opener : public WindowOpener {
public:
    ChildWindow* OpenForm(const std::string& name) override { return OpenWindow<ChildWindow>(name); }
    ChildWindow* FormByName(const std::string& name) override {
        FormBase* f = Auto::GetForm(name);
        if (f) f->Load();
        return dynamic_cast<ChildWindow*>(f);
    }
};

// The application under `name`, offscreen unless QT_QPA_PLATFORM chooses a
// platform, with the messages, parser, colours, texts and month names of the
// English edition (the text language is set first: the messages are read in
// it).
// It is never destroyed (the windows outlive it, see StartWindows).
inline QApplication* StartApp(const char* name) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps argc and argv for the application's lifetime.
    static std::string appName;
    appName = name;
    static int argc = 1;
    static char* argv[] = {appName.data(), nullptr};
    auto* app = new QApplication(argc, argv);
    TextConstants::textLanguage = 1;
    TextConstants::LoadTexts();
    GenMsg::InitMessages();
    Parser::InitParser();
    Options::InitColors();
    Dates::InitMonths();
    return app;
}

// A shown MDI area of 1200 x 900 given to the windows and the window manager.
//
// The windows cannot be destroyed once Qt's per-thread caches are gone at
// exit: the process ends at an exit handler registered here, after the
// window table exists and so before it would be destroyed. A handler a
// benchmark registers later (its clean-up) runs before this one.
inline QMdiArea* StartWindows() {
    auto* area = new QMdiArea;
    area->resize(1200, 900);
    area->show();
    FormBase::SetMdiArea(area);
    WinMan::InitWinMan();
    Auto::AvailableNames();  // makes the window table
    std::atexit([] {
        std::cout.flush();
        std::fflush(nullptr);
        std::_Exit(0);
    });
    return area;
}

}  // namespace WindowBench
