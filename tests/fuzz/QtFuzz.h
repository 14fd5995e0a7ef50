// The Qt fuzz targets need a GUI application for their documents; it runs
// offscreen, made once before the first input.
#pragma once

#include <QGuiApplication>
#include <QtGlobal>

namespace fuzz {

inline void StartQt() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

}  // namespace fuzz
