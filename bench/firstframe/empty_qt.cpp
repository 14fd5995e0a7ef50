// The yardstick of the start-up: an empty QMainWindow with a QMdiArea, as
// the program's frame is, started and painted the same way.
#include <QMainWindow>
#include <QMdiArea>

#include "FirstFrame.h"

int main(int argc, char** argv) {
    FirstFrameApp app(argc, argv);
    QMainWindow w;
    w.setCentralWidget(new QMdiArea);
    w.resize(1024, 768);
    w.show();
    return app.exec();
}
