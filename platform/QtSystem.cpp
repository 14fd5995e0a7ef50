#include "QtSystem.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QRandomGenerator>
#include <cstdio>

#include "Cp1252.h"
#include "QtText.h"

void QtAssertBox::ShowAssert(const std::string& prompt) {
    std::fprintf(stderr, "%s\n", Cp1252::ToUtf8(prompt).c_str());
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), QtText::ToQt(prompt),
                    QMessageBox::Ok, owner_.data());
    // The user must see where to click, also under the hourglass.
    bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();
}

Services::LocalTime QtClock::Now() {
    QDateTime now = QDateTime::currentDateTime();
    QDate d = now.date();
    QTime t = now.time();
    Services::LocalTime lt;
    lt.year = d.year();
    lt.month = d.month();
    lt.day = d.day();
    lt.hour = t.hour();
    lt.minute = t.minute();
    lt.second = t.second();
    // Whole hundredths keep the value exact in its decimal text.
    lt.timer = t.hour() * 3600 + t.minute() * 60 + t.second() + (t.msec() / 10) / 100.0;
    return lt;
}

QtRandom::QtRandom() : gen_(QRandomGenerator::system()->generate()) {}

double QtRandom::Next() { return dist_(gen_); }
