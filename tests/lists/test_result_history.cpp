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
    EXPECT_EQ(h.current(), all[20]);
    EXPECT_EQ(h.resSet(0), all[1]);  // the oldest went
    EXPECT_EQ(h.resSet(18), all[19]);
    // Only the current list is active.
    EXPECT_TRUE(all[20]->view.active);
    EXPECT_FALSE(all[19]->view.active);

    EXPECT_EQ(h.resSet(20), nullptr);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** resSet 20"});
}

TEST(ResultHistory, BackAndForwardStopAtTheEnds) {
    FakeDisplay view;
    ResultHistory h;
    EXPECT_EQ(h.GoBack(), nullptr);
    EXPECT_EQ(h.GoForward(), nullptr);
    EXPECT_EQ(h.current(), nullptr);

    auto a = Shown(view, "a"), b = Shown(view, "b"), c = Shown(view, "c");
    h.Add(a);
    h.Add(b);
    h.Add(c);
    EXPECT_EQ(h.GoForward(), nullptr);
    EXPECT_EQ(h.curIndex(), 2);
    EXPECT_EQ(h.GoBack(), b);
    EXPECT_EQ(view.renders, 1);  // a list stepped to is shown
    EXPECT_EQ(h.GoBack(), a);
    EXPECT_EQ(h.GoBack(), nullptr);
    EXPECT_EQ(h.current(), a);
    EXPECT_EQ(h.curIndex(), 0);

    // A new list goes after the newest, whatever was current.
    auto d = Shown(view, "d");
    h.Add(d);
    EXPECT_EQ(h.curIndex(), 3);
    EXPECT_EQ(h.GoForward(), nullptr);
    EXPECT_EQ(h.resSet(1), b);
}

TEST(ResultHistory, TheSameListTwiceInARowIsSteppedOverOnce) {
    FakeDisplay view;
    auto a = Shown(view, "a"), b = Shown(view, "b");
    ResultHistory h;
    h.Add(a);
    h.Add(b);
    h.Add(b);
    EXPECT_EQ(h.GoBack(), a);
    EXPECT_EQ(h.GoForward(), b);
    EXPECT_EQ(h.curIndex(), 1);

    ResultHistory twice;
    twice.Add(b);
    twice.Add(b);
    EXPECT_EQ(twice.GoBack(), b);  // no other list: lands on the first copy
    EXPECT_EQ(twice.curIndex(), 0);
}

TEST(ResultHistory, WithoutShowingItMovesQuietly) {
    FakeDisplay view, titles;
    auto a = Shown(view, "a"), b = Shown(view, "b");
    auto list = Shown(titles, "");
    ResultHistory h;
    h.SetListBox(list);
    h.Add(a);
    h.Add(b);
    EXPECT_EQ(titles.shown, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list->marked(), 1);

    h.showSets(false);
    EXPECT_EQ(h.GoBack(), a);
    h.SetCurrent(1);
    EXPECT_EQ(h.current(), b);
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
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** SetCurrent"});
    EXPECT_EQ(h.current(), a);
}

}  // namespace
