#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QVBoxLayout>

#include "Fakes.h"
#include "LowLevel.h"
#include "QtLowLevel.h"

using namespace LowLevel;

TEST(QtShell, OpensAddressesAndDocumentsOnlyAndNeverAProgram) {
    QTemporaryDir dir;
    for (const char* name : {"letter.pdf", "run.sh"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(name) == "run.sh" ? "#!/bin/sh\n" : "%PDF");
    }
    std::vector<QUrl> handed;
    QtShell shell([&](const QUrl& url) {
        handed.push_back(url);
        return true;
    });
    EXPECT_TRUE(shell.Open("https://example.org/x?a=1"));
    EXPECT_TRUE(shell.Open("mailto:someone@example.org"));
    EXPECT_TRUE(shell.Open(dir.filePath("letter.pdf").toStdString()));
    for (std::string program : {std::string("/bin/sh"), std::string("/usr/bin/env"), std::string("xterm -e rm"),
                                dir.filePath("run.sh").toStdString(), dir.path().toStdString()})
        EXPECT_FALSE(shell.Open(program)) << program;
    ASSERT_EQ(handed.size(), 3u);
    EXPECT_EQ(handed[0], QUrl("https://example.org/x?a=1"));
    EXPECT_EQ(handed[1].scheme(), "mailto");
    EXPECT_EQ(handed[2], QUrl::fromLocalFile(dir.filePath("letter.pdf")));
}

TEST(QtLowLevel, CharacterWidthsAreMeasured) {
    QWidget form;
    MeasureCharWidths(&form);
    for (const CharWidthTable* t : {&charWidthForm, &charWidthArial, &charWidthArialBold}) {
        EXPECT_GT((*t)['W'], (*t)['i']);
        EXPECT_GT((*t)[0xC4], 0);  // "Ä"
        EXPECT_EQ((*t)['\t'], 0);
    }
    EXPECT_GE(charWidthArialBold['W'], charWidthArial['W']);
}

TEST(QtLowLevel, CaretLineAndColumnInCp1252) {
    QTextEdit box;
    box.setPlainText(QString::fromUtf8("first line\nW\xC3\xB6rter und mehr"));
    QTextCursor c = box.textCursor();
    c.setPosition(11 + 3);
    box.setTextCursor(c);
    std::string line;
    int column = -1;
    GetCaretLine(&box, line, column);
    EXPECT_EQ(line, "W\xF6rter und mehr");
    EXPECT_EQ(column, 3);
    GetCaretLine(nullptr, line, column);
    EXPECT_EQ(column, 0);
}

TEST(QtLowLevel, MarkFramesTheControlAndSurvivesItsWindow) {
    MarkShape shape;
    {
        QWidget window;
        auto* button = new QPushButton("Show", &window);
        (new QVBoxLayout(&window))->addWidget(button);
        window.resize(300, 200);
        window.show();
        PlaceMarkShape(shape, button);
        ASSERT_NE(shape.Overlay(), nullptr);
        EXPECT_TRUE(shape.IsShown());
        EXPECT_EQ(shape.Overlay()->geometry().adjusted(4, 4, -4, -4),
                  QRect(button->mapTo(&window, QPoint(0, 0)), button->size()));
        HideMarkShape(shape);
        EXPECT_FALSE(shape.IsShown());
        PlaceMarkShape(shape, nullptr);  // nothing to frame
        EXPECT_FALSE(shape.IsShown());
        PlaceMarkShape(shape, button);
    }
    // The window took the frame with it; the shape knows.
    EXPECT_EQ(shape.Overlay(), nullptr);
    EXPECT_FALSE(shape.IsShown());
    HideMarkShape(shape);
}
