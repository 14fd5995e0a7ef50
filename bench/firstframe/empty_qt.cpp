// The yardsticks of the start-up: an empty QMainWindow with a QMdiArea, as
// the program's frame is, started and painted the same way; with
// "--menus TITLE..." the same frame with a menu bar of those titles (the
// program's own, which ratios.py reads from startup_probe --menu-titles).
// A frame with words on it sets up the fonts that every frame with words
// needs, which the empty one never does.
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <cstring>

#include "FirstFrame.h"
#include "ToolArgs.h"

int main(int argc, char** argv) {
    const char* usage = "usage: empty_qt [--menus TITLE...]\n";
    if (auto end = ToolArgs::EndEarly(ToolArgs::Args(argc, argv), usage, {"--menus"})) return *end;
    FirstFrameApp app(argc, argv);
    QMainWindow w;
    w.setCentralWidget(new QMdiArea);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--menus") != 0) continue;
        // As the program's frame: the menu bar in the window, not the desktop's.
        w.menuBar()->setNativeMenuBar(false);
        for (int k = i + 1; k < argc; ++k) w.menuBar()->addMenu(QString::fromLocal8Bit(argv[k]));
        break;
    }
    w.resize(1024, 768);
    w.show();
    return app.exec();
}
