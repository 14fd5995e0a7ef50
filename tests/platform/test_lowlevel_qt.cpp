#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <memory>

#include "Cp1252.h"
#include "Fakes.h"
#include "HelperTestApp.h"
#include "LowLevel.h"
#include "QtLowLevel.h"

using namespace LowLevel;

TEST(QtShell, OpensAddressesAndDocumentsOnlyAndNeverAProgram) {
    EnsureQtApp();
    QTemporaryDir dir;
    WriteTextFile(dir.filePath("letter.pdf"), "%PDF");
    WriteTextFile(dir.filePath("run.sh"), "#!/bin/sh\n");

    std::vector<QUrl> handed;
    QtShell shell([&](const QUrl& url) {
        handed.push_back(url);
        return true;
    });
    EXPECT_TRUE(shell.Open("https://example.org/x?a=1"));
    EXPECT_TRUE(shell.Open("mailto:someone@example.org"));
    EXPECT_TRUE(shell.Open(dir.filePath("letter.pdf").toStdString()));
    EXPECT_FALSE(shell.Open("/bin/sh"));
    EXPECT_FALSE(shell.Open("/usr/bin/env"));
    EXPECT_FALSE(shell.Open(dir.filePath("run.sh").toStdString()));
    EXPECT_FALSE(shell.Open("xterm -e rm"));
    EXPECT_FALSE(shell.Open(dir.path().toStdString()));
    ASSERT_EQ(handed.size(), 3u);
    EXPECT_EQ(handed[0], QUrl("https://example.org/x?a=1"));
    EXPECT_EQ(handed[1].scheme(), "mailto");
    EXPECT_EQ(handed[2], QUrl::fromLocalFile(dir.filePath("letter.pdf")));
}

TEST(QtLowLevel, CharacterWidthsAreMeasured) {
    EnsureQtApp();
    QWidget form;
    MeasureCharWidths(&form);
    EXPECT_TRUE(QFontInfo(ArialFont(false)).family().contains("Arial") ||
                QFontInfo(ArialFont(false)).family().contains("Liberation Sans"));
    for (const CharWidthTable* t : {&charWidthForm, &charWidthArial, &charWidthArialBold}) {
        EXPECT_GT((*t)['W'], (*t)['i']);
        EXPECT_GT((*t)[0xC4], 0);  // "Ä"
        EXPECT_EQ((*t)['\t'], 0);
    }
    EXPECT_GE(charWidthArialBold['W'], charWidthArial['W']);
}

TEST(QtLowLevel, CaretLineAndColumn) {
    EnsureQtApp();
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

    box.clear();
    GetCaretLine(&box, line, column);
    EXPECT_EQ(line, "");
    EXPECT_EQ(column, 0);
    GetCaretLine(nullptr, line, column);
    EXPECT_EQ(column, 0);
}

TEST(QtLowLevel, ComboDropDownHeight) {
    EnsureQtApp();
    const std::pair<int, int> cases[] = {{0, 2}, {3, 3}, {25, 22}};
    for (const auto& [count, visible] : cases) {
        QComboBox combo;
        for (int i = 0; i < count; ++i) combo.addItem(QString::number(i));
        SetComboDropHeight(&combo);
        EXPECT_EQ(combo.maxVisibleItems(), visible) << count;
    }
}

TEST(QtLowLevel, MarkFramesTheControlAndSurvivesItsWindow) {
    EnsureQtApp();
    MarkShape shape;
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* button = new QPushButton("Show", &window);
        layout->addWidget(button);
        window.resize(300, 200);
        window.show();
        PlaceMarkShape(shape, button);
        ASSERT_NE(shape.Overlay(), nullptr);
        EXPECT_TRUE(shape.IsShown());
        QRect inner = shape.Overlay()->geometry().adjusted(4, 4, -4, -4);
        EXPECT_EQ(inner, QRect(button->mapTo(&window, QPoint(0, 0)), button->size()));
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
