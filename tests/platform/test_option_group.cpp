// Option buttons by keyboard: the buttons with one parent are a group, one
// stop of the Tab key at its checked button, and the arrow keys go round its
// usable buttons, checking the one they reach as a click does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "FormControls.h"
#include "WindowKeys.h"

TEST(OptionGroup, OneTabStopAndArrowsCheckTheButtonTheyReach) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    // Built before the group, placed after it: the window's Tab order is
    // then the layout's, not the building's.
    auto* after = new QLineEdit(&window);
    auto* group = new QWidget(&window);
    layout->addWidget(before);
    layout->addWidget(group);
    auto* rows = new QVBoxLayout(group);
    std::vector<OptionButton*> b;
    std::vector<int> clicks(4);
    for (int i = 0; i < 4; ++i) {
        b.push_back(new OptionButton(group));
        rows->addWidget(b.back());
        b.back()->onClick = [&clicks, i] { ++clicks[static_cast<size_t>(i)]; };
    }
    layout->addWidget(after);
    b[2]->setEnabled(false);
    window.show();
    WindowKeys::OrderTabsByLayout(&window);
    QApplication::setActiveWindow(&window);
    before->setFocus();
    auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
        return QApplication::focusWidget();
    };

    // None is on: the stop is the first button. Each arrow checks the button
    // it reaches, once; the disabled one is passed over, the ends go round.
    EXPECT_EQ(key(Qt::Key_Tab), b[0]);
    EXPECT_EQ(key(Qt::Key_Down), b[1]);
    EXPECT_EQ(key(Qt::Key_Right), b[3]);
    EXPECT_EQ(key(Qt::Key_Down), b[0]);
    EXPECT_EQ(key(Qt::Key_Up), b[3]);
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, 0, 2}));
    EXPECT_TRUE(b[3]->Value() && !b[0]->Value() && !b[1]->Value());
    // Tab leaves the group and comes back to its checked button either way.
    EXPECT_EQ(key(Qt::Key_Tab), after);
    EXPECT_EQ(key(Qt::Key_Tab, Qt::ShiftModifier), b[3]);
    EXPECT_EQ(key(Qt::Key_Tab, Qt::ShiftModifier), before);
    // Code may turn every button off: the first is the stop again.
    b[3]->SetValue(false);
    EXPECT_EQ(key(Qt::Key_Tab), b[0]);
}
