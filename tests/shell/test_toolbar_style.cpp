// The frame's toolbar style: the panel it draws a strip of and repeats is
// the very picture its style underneath draws, wherever it takes that way;
// where the columns may differ it leaves the drawing to that style.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QStyle>
#include <QToolBar>
#include <memory>

#include "ToolbarStyle.h"

namespace {

// The toolbar as the frame has it, drawn with the given style or the
// application's.
QImage DrawToolbar(Qt::ToolBarArea area, int width, const QPalette& palette, bool own) {
    QMainWindow window;
    window.setPalette(palette);
    window.setCentralWidget(new QMdiArea);
    auto* bar = new QToolBar(QStringLiteral("Toolbar1"));
    window.addToolBar(area, bar);
    bar->setMovable(false);
    std::unique_ptr<ToolbarStyle> style;
    if (own) {
        style = std::make_unique<ToolbarStyle>();
        bar->setStyle(style.get());
    }
    for (const char* text : {"Alpha", "Name", "Language"}) bar->addAction(QString::fromLatin1(text));
    bar->addSeparator();
    bar->addAction(QStringLiteral("Lexi"));
    window.resize(width, 300);
    window.show();
    const QImage image = bar->grab().toImage();
    bar->setStyle(nullptr);
    return image;
}

TEST(ToolbarStyle, DrawsThePanelItsStyleDraws) {
    ASSERT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
    QPalette tinted = QApplication::palette();
    tinted.setColor(QPalette::Window, QColor(0xC0, 0xD8, 0xE8));
    QPalette translucent = QApplication::palette();
    translucent.setColor(QPalette::Window, QColor(0xC0, 0xD8, 0xE8, 0x80));
    const struct Case {
        const char* what;
        Qt::ToolBarArea area;
        int width;
        QPalette palette;
    } cases[] = {
        {"top, the frame's width", Qt::TopToolBarArea, 1024, QApplication::palette()},
        {"top, narrow", Qt::TopToolBarArea, 160, QApplication::palette()},
        {"top, another window colour", Qt::TopToolBarArea, 700, tinted},
        {"top, a translucent window colour", Qt::TopToolBarArea, 700, translucent},
        {"bottom", Qt::BottomToolBarArea, 700, QApplication::palette()},
        {"left: columns differ", Qt::LeftToolBarArea, 700, QApplication::palette()},
    };
    for (const Case& c : cases) {
        const QImage own = DrawToolbar(c.area, c.width, c.palette, true);
        const QImage style = DrawToolbar(c.area, c.width, c.palette, false);
        ASSERT_FALSE(own.isNull()) << c.what;
        EXPECT_TRUE(own == style) << c.what;
    }
}

}  // namespace
