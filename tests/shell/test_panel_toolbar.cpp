// The frame's toolbar: the panel it draws a strip of and repeats is the very
// picture its style draws, wherever it takes that way; where the columns may
// differ it leaves the drawing to QToolBar. The kept strip follows a change.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QStyle>
#include <QToolButton>
#include <memory>

#include "PanelToolBar.h"

namespace {

struct Frame {
    QMainWindow window;
    QToolBar* bar = nullptr;
};

// The toolbar as the frame has it: ours, or a plain one.
std::unique_ptr<Frame> MakeFrame(Qt::ToolBarArea area, int width, const QPalette& palette, bool own) {
    auto f = std::make_unique<Frame>();
    f->window.setAnimated(false);
    f->window.setPalette(palette);
    f->window.setCentralWidget(new QMdiArea);
    f->bar = own ? new PanelToolBar(QStringLiteral("Toolbar1")) : new QToolBar(QStringLiteral("Toolbar1"));
    f->window.addToolBar(area, f->bar);
    f->bar->setMovable(false);
    for (const char* text : {"Alpha", "Name", "Language"}) f->bar->addAction(QString::fromLatin1(text));
    f->bar->addSeparator();
    for (const char* text : {"Lexi", "Quiz", "Saints", "Languages"}) f->bar->addAction(QString::fromLatin1(text));
    f->window.resize(width, 300);
    f->window.show();
    return f;
}

// The extension button of a bar too narrow for its buttons, pressed.
void Expand(QToolBar* bar) {
    for (QToolButton* b : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (!b->defaultAction() && b->isVisible()) b->click();
    QCoreApplication::processEvents();
}

TEST(PanelToolBar, DrawsThePanelItsStyleDraws) {
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
        bool expand;
    } cases[] = {
        {"top, the frame's width", Qt::TopToolBarArea, 1024, QApplication::palette(), false},
        {"top, narrow", Qt::TopToolBarArea, 160, QApplication::palette(), false},
        {"top, narrow, expanded over its hidden buttons", Qt::TopToolBarArea, 160, QApplication::palette(), true},
        {"top, another window colour", Qt::TopToolBarArea, 700, tinted, false},
        {"top, a translucent window colour", Qt::TopToolBarArea, 700, translucent, false},
        {"bottom", Qt::BottomToolBarArea, 700, QApplication::palette(), false},
        {"left: columns differ", Qt::LeftToolBarArea, 700, QApplication::palette(), false},
    };
    for (const Case& c : cases) {
        auto own = MakeFrame(c.area, c.width, c.palette, true);
        auto plain = MakeFrame(c.area, c.width, c.palette, false);
        if (c.expand) {
            Expand(own->bar);
            Expand(plain->bar);
            ASSERT_GT(own->bar->height(), plain->bar->sizeHint().height()) << c.what;
        }
        const QImage mine = own->bar->grab().toImage();
        ASSERT_FALSE(mine.isNull()) << c.what;
        EXPECT_TRUE(mine == plain->bar->grab().toImage()) << c.what;
    }
}

// The strip is kept between paints, and drawn anew when the colours change.
TEST(PanelToolBar, ItsKeptStripFollowsTheColours) {
    auto own = MakeFrame(Qt::TopToolBarArea, 700, QApplication::palette(), true);
    auto plain = MakeFrame(Qt::TopToolBarArea, 700, QApplication::palette(), false);
    EXPECT_TRUE(own->bar->grab().toImage() == plain->bar->grab().toImage());
    QPalette tinted = QApplication::palette();
    tinted.setColor(QPalette::Window, QColor(0x30, 0x60, 0x90));
    own->window.setPalette(tinted);
    plain->window.setPalette(tinted);
    EXPECT_TRUE(own->bar->grab().toImage() == plain->bar->grab().toImage());
}

}  // namespace
