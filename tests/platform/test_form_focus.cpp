// Where the keyboard is and where it comes back to: the frame around a list,
// a table or a read-only text that has the focus, the focus given back to a
// window switched back to, and the frames of dialog-like windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyleOptionButton>

#include "FocusMark.h"
#include "FormBase.h"
#include "FormControls.h"
#include "ResultViews.h"
#include "RichTextPane.h"

namespace {

class TwoBoxes : public FormBase {
public:
    using FormBase::FormBase;
    TextBox* first = nullptr;
    TextBox* second = nullptr;

protected:
    void BuildControls() override {
        Resize(3000, 4500);
        first = Add<TextBox>("First");
        first->setGeometry(10, 10, 100, 24);
        second = Add<TextBox>("Second");
        second->setGeometry(10, 50, 100, 24);
    }
};

// A frame window with an MDI area and a box of its own outside the area
// (where the menu bar or the toolbar take the keyboard).
class FormFocus : public testing::Test {
protected:
    void SetUp() override {
        outside = new QLineEdit(&main);
        area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.setMenuWidget(outside);
        FormBase::SetMdiArea(area);
        main.resize(800, 600);
        main.show();
        QApplication::setActiveWindow(&main);
    }
    void TearDown() override { FormBase::SetMdiArea(nullptr); }

    QMainWindow main;
    QLineEdit* outside = nullptr;
    QMdiArea* area = nullptr;
};

}  // namespace

// Empty, with nothing chosen, or a text that shows no caret: the control with
// the keyboard is framed, and only while it has it. A text to type in shows
// its caret instead, and a text pane its own mark.
TEST_F(FormFocus, ListsTablesAndTextsToReadShowAFrameWhileTheyHaveTheKeyboard) {
    FocusMark::Install();  // as every window's base does
    QWidget window;
    auto* list = new ListBox(&window);
    list->AddItem("Anna");
    auto* editable = new QPlainTextEdit(&window);
    auto* readOnly = new QPlainTextEdit(&window);
    readOnly->setReadOnly(true);
    auto* pane = new RichTextPane(&window);
    auto* elsewhere = new QLineEdit(&window);
    auto* defaultButton = new QPushButton("Show", &window);
    defaultButton->setDefault(true);
    const struct {
        QWidget* control;
        bool framed;
    } cases[] = {{new ListView(&window), true}, {list, true},     {readOnly, true},
                 {new QScrollArea(&window), true}, {editable, false}, {pane, true}, {defaultButton, true}};
    window.show();
    QApplication::setActiveWindow(&window);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control->metaObject()->className());
        c.control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(c.control->hasFocus());
        EXPECT_EQ(FocusMark::Shown(c.control), c.framed);
        EXPECT_EQ(c.control->findChildren<FocusMark::Frame*>().size(), c.framed ? 1 : 0);  // the pane's own
        elsewhere->setFocus();
        EXPECT_FALSE(FocusMark::Shown(c.control));
    }
}

// The style marks a button or a box only in a window where the keyboard has
// moved the focus: a window opened from a menu by keyboard, its focus set by
// code, shows that mark without a first Tab.
TEST_F(FormFocus, AWindowShowsTheStylesFocusMarkFromTheStart) {
    FocusMark::Install();
    QWidget window;
    auto* button = new QPushButton("OK", &window);
    window.show();
    QApplication::setActiveWindow(&window);
    button->setFocus(Qt::OtherFocusReason);
    QStyleOptionButton option;
    option.initFrom(button);
    EXPECT_TRUE(option.state & QStyle::State_HasFocus);
    EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange);
}

// A window switched back to has the keyboard where the user left it, also
// when the keyboard had gone to the frame (the menu bar) rather than to
// another window, which the toolkit gives back by itself.
TEST_F(FormFocus, AWindowSwitchedBackToGivesTheFocusBackWhereItWas) {
    TwoBoxes a("A"), b("B");
    a.Show();
    b.Show();
    for (bool toOtherWindow : {true, false}) {
        SCOPED_TRACE(toOtherWindow ? "another window" : "the frame");
        a.ComeForward();
        a.second->setFocus(Qt::TabFocusReason);
        if (toOtherWindow)
            b.ComeForward();
        else
            outside->setFocus(Qt::ShortcutFocusReason);
        ASSERT_FALSE(a.second->hasFocus());
        FormBase::ActivateChild(a.SubWindow());
        EXPECT_TRUE(a.second->hasFocus());
    }
}

// A dialog-like window offers its close box only, and is always shown in its
// normal state; a child window keeps its minimise and maximise buttons.
TEST_F(FormFocus, DialogLikeWindowsHaveNoMinimiseOrMaximiseButton) {
    const auto minMax = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    TwoBoxes child("Child"), dialogLike("DialogLike"), dialog("Dialog", FormBase::Kind::Dialog);
    dialogLike.SetDialogLike();
    for (FormBase* f : {&child, &dialogLike, &dialog}) f->Load();
    EXPECT_EQ(child.Host()->windowFlags() & minMax, minMax);
    EXPECT_FALSE(dialogLike.Host()->windowFlags() & minMax);
    EXPECT_TRUE(dialogLike.Host()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.Host()->windowFlags() & minMax);
    dialogLike.Show();
    dialogLike.SetWindowState(1);
    EXPECT_EQ(dialogLike.WindowState(), 0);
}
