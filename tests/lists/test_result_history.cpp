// ResultHistory: back and forward, the limit of 20, the title list.
#include <gtest/gtest.h>

#include <memory>

#include "Fakes.h"
#include "ListTestSupport.h"
#include "ResultHistory.h"

namespace {

std::shared_ptr<ResultSet> Shown(FakeDisplay& view, const std::string& title) {
    auto rs = std::make_shared<ResultSet>();
    rs->Init(title, nullptr, "", nullptr, &view);
    return rs;
}

TEST(ResultHistory, KeepsTheLastTwentyLists) {
    FakeDisplay view;
    ResultHistory h;
    std::vector<std::shared_ptr<ResultSet>> all;
    for (int i = 0; i < 21; ++i) {
        all.push_back(Shown(view, "L" + std::to_string(i)));
        h.Add(all.back());
    }
    EXPECT_EQ(h.numSets(), 20);
    EXPECT_EQ(h.curIndex(), 19);
    EXPECT_EQ(h.resSet(0), all[1]);  // the oldest went
    EXPECT_TRUE(all[20]->view.active);  // only the current list is active
    EXPECT_FALSE(all[19]->view.active);
    EXPECT_EQ(h.resSet(20), nullptr);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
}

TEST(ResultHistory, BackAndForwardStopAtTheEnds) {
    FakeDisplay view;
    ResultHistory h;
    EXPECT_EQ(h.GoBack(), nullptr);
    EXPECT_EQ(h.GoForward(), nullptr);
    auto a = Shown(view, "a"), b = Shown(view, "b"), c = Shown(view, "c");
    for (const auto& l : {a, b, b, c}) h.Add(l);
    EXPECT_EQ(h.GoForward(), nullptr);
    EXPECT_EQ(h.GoBack(), b);  // the same list twice in a row is stepped over once
    EXPECT_EQ(view.renders, 1);  // a list stepped to is shown
    EXPECT_EQ(h.GoBack(), a);
    EXPECT_EQ(h.GoBack(), nullptr);
    EXPECT_EQ(h.curIndex(), 0);
    EXPECT_EQ(h.GoForward(), b);
    EXPECT_EQ(h.curIndex(), 1);
    auto d = Shown(view, "d");  // a new list goes after the newest, whatever was current
    h.Add(d);
    EXPECT_EQ(h.curIndex(), 4);
    EXPECT_EQ(h.GoForward(), nullptr);

    ResultHistory twice;
    twice.Add(b);
    twice.Add(b);
    EXPECT_EQ(twice.GoBack(), b);  // no other list: lands on the first copy
}

TEST(ResultHistory, TitleListAndMovingQuietly) {
    FakeDisplay view, titles;
    auto a = Shown(view, "a"), b = Shown(view, "b"), list = Shown(titles, "");
    ResultHistory h;
    h.SetListBox(list);
    h.Add(a);
    h.Add(b);
    EXPECT_EQ(titles.shown, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list->marked(), 1);
    h.showSets(false);
    EXPECT_EQ(h.GoBack(), a);
    EXPECT_EQ(view.renders, 0);
    EXPECT_EQ(list->marked(), 1);

    h.showSets(true);
    a->AddResult("x", "", nullptr);
    a->AddResult("y", "", nullptr);
    a->markLine(1);
    view.selected = -1;
    h.SetCurrent(0);
    EXPECT_EQ(view.renders, 1);
    EXPECT_EQ(list->marked(), 0);
    EXPECT_EQ(view.selected, 1);  // the list's own marked line is selected again
    h.SetCurrent(2);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(h.current(), a);
}

}  // namespace
