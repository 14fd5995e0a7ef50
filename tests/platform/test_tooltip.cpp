#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "Fakes.h"
#include "HelperTestApp.h"
#include "ToolTip.h"

namespace {

class ToolTips : public testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        auto* layout = new QVBoxLayout(&window);
        first = new QPushButton("First", &window);
        second = new QPushButton("Second", &window);
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
    }
    QApplication* app = EnsureQtApp();  // before any widget or printer
    QWidget window;
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
};

}  // namespace

TEST_F(ToolTips, NothingWorksBeforeInit) {
    ToolTip tip;
    tip.AddTool(first, "Hallo");
    EXPECT_EQ(tip.ToolCount(), 0);
    EXPECT_EQ(tip.ToolText(first), "");
    EXPECT_EQ(tip.hWnd(), 0u);
    EXPECT_EQ(tip.backColor(), 0);
    EXPECT_EQ(tip.DelayTime(3), 0);
    EXPECT_FALSE(tip.Popup(first));
}

TEST_F(ToolTips, ToolsAndTheirTexts) {
    ToolTip tip;
    tip.Init(&window);
    tip.Init(&window);  // a second call changes nothing
    EXPECT_NE(tip.hWnd(), 0u);
    EXPECT_EQ(tip.ToolTipHandle(), tip.hWnd());

    tip.AddTool(first, "Zeigt den Namen");
    tip.AddTool(first, "another text");  // the first text stays
    tip.AddTool(second, "W\xF6rter");
    EXPECT_EQ(tip.ToolCount(), 2);
    EXPECT_EQ(tip.ToolText(first), "Zeigt den Namen");
    EXPECT_EQ(tip.ToolText(second), "W\xF6rter");
    EXPECT_EQ(tip.ToolText(&window), "");

    tip.SetToolText(first, "Neu");
    tip.SetToolText(&window, "ignored");
    EXPECT_EQ(tip.ToolText(first), "Neu");
    EXPECT_FALSE(tip.IsTool(&window));

    tip.RemoveTool(second);
    EXPECT_EQ(tip.ToolCount(), 1);
    EXPECT_EQ(tip.ToolText(second), "");

    tip.AddTool(nullptr, "x");
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** AddTool ok"});
}

TEST_F(ToolTips, DelaysColoursMarginsAndWidth) {
    ToolTip tip;
    tip.Init(&window);
    tip.AddTool(first, "x");
    EXPECT_EQ(tip.DelayTime(ToolTip::kInitial), 1500);
    EXPECT_EQ(tip.DelayTime(ToolTip::kAutoPop), 5000);
    tip.SetDelayTime(6, 1234);  // 6 is delay 2, the display time
    EXPECT_EQ(tip.DelayTime(2), 1234);
    tip.SetDelayTime(ToolTip::kAutomatic, 400);
    EXPECT_EQ(tip.DelayTime(ToolTip::kInitial), 400);
    EXPECT_EQ(tip.DelayTime(ToolTip::kAutoPop), 4000);
    EXPECT_EQ(tip.DelayTime(ToolTip::kReshow), 80);

    tip.setBackColor(0x33FF33);
    tip.setForeColor(0x000080);
    EXPECT_EQ(tip.backColor(), 0x33FF33);
    EXPECT_EQ(tip.foreColor(), 0x000080);

    tip.SetMargin(1, 6);
    tip.SetMargin(4, 9);
    EXPECT_EQ(tip.Margin(1), 6);
    EXPECT_EQ(tip.Margin(4), 0);
    EXPECT_EQ(tip.Margin(0), 0);

    tip.SetMaxTipWidth(0);
    EXPECT_EQ(tip.MaxTipWidth(), -1);
    tip.SetMaxTipWidth(200);
    EXPECT_EQ(tip.MaxTipWidth(), 200);
    EXPECT_TRUE(tip.TipText(first).contains("width=\"200\""));
}

TEST_F(ToolTips, TipTextIsShownAsItIs) {
    ToolTip tip;
    tip.Init(&window);
    tip.AddTool(first, "<b>a & b</b>");
    QString shown = tip.TipText(first);
    EXPECT_TRUE(shown.contains("&lt;b&gt;a &amp; b&lt;/b&gt;"));
}

TEST_F(ToolTips, EnteringWaitsForTheDelayAndQtTipsAreOurs) {
    ToolTip tip;
    tip.Init(&window);
    tip.AddTool(first, "Tip");
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), first->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(first, &enter);
    EXPECT_EQ(tip.ShownFor(), nullptr);  // not before the initial delay
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), first->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(QCoreApplication::sendEvent(first, &help));  // Qt's own tip timing is taken over
}

TEST_F(ToolTips, AToolIsForgottenWhenItsWidgetDies) {
    ToolTip tip;
    tip.Init(&window);
    tip.AddTool(first, "First tip");
    tip.AddTool(second, "Second tip");
    ASSERT_TRUE(tip.Popup(first));
    EXPECT_EQ(tip.ShownFor(), first);

    delete first;
    first = nullptr;
    EXPECT_EQ(tip.ToolCount(), 1);
    EXPECT_EQ(tip.ShownFor(), nullptr);
    EXPECT_EQ(tip.ToolText(second), "Second tip");

    // A new widget is a new tool, even where an old one was.
    auto* third = new QPushButton("Third", &window);
    tip.AddTool(third, "Third tip");
    EXPECT_EQ(tip.ToolCount(), 2);
    EXPECT_EQ(tip.ToolText(third), "Third tip");
}

TEST_F(ToolTips, TheToolTipMayGoBeforeItsWidgets) {
    auto tip = std::make_unique<ToolTip>();
    tip->Init(&window);
    tip->AddTool(first, "x");
    tip->Popup(first);
    tip.reset();
    delete second;  // no tool bookkeeping left to touch
    second = nullptr;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), first->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(first, &enter);
}
