#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "Fakes.h"
#include "ToolTip.h"

namespace {

class ToolTips : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(first = new QPushButton("First", &window));
        layout->addWidget(second = new QPushButton("Second", &window));
        window.show();
    }
    QWidget window;
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
};

}  // namespace

TEST_F(ToolTips, ToolsAndTheirTexts) {
    ToolTip tip;
    tip.AddTool(first, "before Init");  // nothing works before Init
    EXPECT_EQ(tip.ToolCount(), 0);
    EXPECT_FALSE(tip.Popup(first));
    tip.Init(&window);
    tip.AddTool(first, "Zeigt den Namen");
    tip.AddTool(first, "another text");  // the first text stays
    tip.AddTool(second, "W\xF6rter");
    EXPECT_EQ(tip.ToolCount(), 2);
    EXPECT_EQ(tip.ToolText(first), "Zeigt den Namen");
    EXPECT_EQ(tip.ToolText(second), "W\xF6rter");
    tip.RemoveTool(second);
    EXPECT_EQ(tip.ToolText(second), "");

    tip.AddTool(nullptr, "x");
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** AddTool ok"});
    // The text is shown as it is, never as markup.
    tip.AddTool(second, "<b>a & b</b>");
    EXPECT_TRUE(tip.TipText(second).contains("&lt;b&gt;a &amp; b&lt;/b&gt;"));
}

TEST_F(ToolTips, AToolIsForgottenWhenItsWidgetDies) {
    ToolTip tip;
    tip.Init(&window);
    tip.AddTool(first, "First tip");
    tip.AddTool(second, "Second tip");
    ASSERT_TRUE(tip.Popup(first));
    EXPECT_EQ(tip.ShownFor(), first);
    delete first;
    EXPECT_EQ(tip.ToolCount(), 1);
    EXPECT_EQ(tip.ShownFor(), nullptr);
    EXPECT_EQ(tip.ToolText(second), "Second tip");
    // A new widget is a new tool, even where an old one was.
    auto* third = new QPushButton("Third", &window);
    tip.AddTool(third, "Third tip");
    EXPECT_EQ(tip.ToolText(third), "Third tip");
}

// A window's tooltips go with its widgets, in either order: deleting a
// widget after its tooltip touches nothing of it (the sanitizer build sees a
// use after free), and the widgets take new tips afterwards.
TEST_F(ToolTips, TheToolTipMayGoBeforeItsWidgets) {
    auto tip = std::make_unique<ToolTip>();
    tip->Init(&window);
    tip->AddTool(first, "x");
    tip->AddTool(second, "y");
    ASSERT_TRUE(tip->Popup(first));
    tip.reset();
    delete second;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), first->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(first, &enter);
    ToolTip next;
    next.Init(&window);
    next.AddTool(first, "z");
    EXPECT_EQ(next.ToolCount(), 1);
    EXPECT_TRUE(next.Popup(first));
    EXPECT_EQ(next.ShownFor(), first);
    EXPECT_TRUE(next.TipText(first).contains("z"));
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

// A click in a list lands in its viewport; the list's tip (shown or still
// waiting) must go, or it lies over the window the click brings up.
TEST_F(ToolTips, AClickInAListsViewportEndsItsTip) {
    auto* list = new QListWidget(&window);
    list->addItem("Anna");
    list->show();
    ToolTip tip;
    tip.Init(&window);
    tip.AddTool(list, "Names of the current list");
    const QPointF at(5, 5);
    auto click = [&] {
        QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &press);
    };

    ASSERT_TRUE(tip.Popup(list));
    click();
    EXPECT_EQ(tip.ShownFor(), nullptr);

    tip.SetDelayTime(ToolTip::kInitial, 0);
    QEnterEvent enter(at, at, list->mapToGlobal(at));
    QCoreApplication::sendEvent(list, &enter);
    click();
    QCoreApplication::processEvents();
    EXPECT_EQ(tip.ShownFor(), nullptr);
}
