// Combining lists through operation marks, and the hand-over of new lists.
#include "SearchFixture.h"

#include "Fakes.h"

namespace {

using Searches::CombineLists;

class CombineTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        atom* g = db.Group("gnAnna", "Anna", false);
        x = db.Name("naAnna", "Anna", g);
        y = db.Name("naBerta", "Berta", g);
        z = db.Name("naClara", "Clara", g);
        w = db.Name("naDora", "Dora", g);
        db.Finish();
    }
    atom *x = nullptr, *y = nullptr, *z = nullptr, *w = nullptr;
};

// And keeps B's order and joins B's reason with the reason of the atom's last
// line in A; Or appends B's new atoms after all of A; Without keeps A's lines
// whose atom is not in B. The result may be A itself.
TEST_F(CombineTest, EveryTypeIntoAFreshListAndIntoTheFirstOperand) {
    struct Case {
        int type;
        std::vector<atom*> atoms;
        std::vector<std::string> reasons;
    };
    const Case cases[] = {
        {Searches::kAnd, {z, x}, {"qz+pz", "qx+px2"}},
        {Searches::kOr, {x, y, z, x, w, w}, {"px", "py", "pz", "px2", "qw", "qw2"}},
        {Searches::kWithout, {y}, {"py"}},
    };
    for (const Case& c : cases) {
        for (bool intoA : {false, true}) {
            auto A = List({{x, "px"}, {y, "py"}, {z, "pz"}, {x, "px2"}});
            auto B = List({{z, "qz"}, {w, "qw"}, {x, "qx"}, {w, "qw2"}});
            auto fresh = List({});
            ResultSet& R = intoA ? *A : *fresh;
            CombineLists(*A, *B, R, c.type);
            EXPECT_EQ(Atoms(R), c.atoms) << c.type << intoA;
            EXPECT_EQ(Reasons(R), c.reasons) << c.type << intoA;
        }
    }
}

TEST_F(CombineTest, ListWithItselfAndMarksFreshPerCombination) {
    auto A = List({{x, "a"}, {y, "b"}});
    CombineLists(*A, *A, *A, Searches::kOr);
    EXPECT_EQ(Atoms(*A), (std::vector<atom*>{x, y}));
    CombineLists(*A, *A, *A, Searches::kAnd);
    EXPECT_EQ(Reasons(*A), (std::vector<std::string>{"a+a", "b+b"}));
    CombineLists(*A, *A, *A, Searches::kWithout);
    EXPECT_EQ(A->numLines(), 0);

    // An atom marked by an earlier combination is no member of a later list.
    auto B = List({{x, ""}});
    ResultSet R;
    R.InitInt();
    CombineLists(*List({{x, ""}, {y, ""}}), *B, R, Searches::kAnd);
    CombineLists(*List({{z, ""}}), *B, R, Searches::kAnd);
    EXPECT_EQ(R.numLines(), 0);
}

// Lines without an atom belong to no list: And drops them, Or and Without
// keep them where they stand.
TEST_F(CombineTest, LinesWithoutAtomTakeNoPartInMembership) {
    auto A = List({{x, "a"}, {nullptr, "headA"}});
    auto B = List({{nullptr, "headB"}, {x, "b"}, {y, "c"}});
    ResultSet R;
    R.InitInt();
    CombineLists(*A, *B, R, Searches::kAnd);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x}));
    CombineLists(*A, *B, R, Searches::kOr);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x, nullptr, nullptr, y}));
    CombineLists(*A, *B, R, Searches::kWithout);
    EXPECT_EQ(Reasons(R), (std::vector<std::string>{"headA"}));
}

TEST_F(CombineTest, NewResCombinesWithTheManagersCurrentList) {
    struct Case {
        int type;
        bool hasCurrent;
        std::vector<atom*> expected;
        size_t asserts;
    };
    const Case cases[] = {
        {Searches::kAlone, true, {y, z}, 0}, {Searches::kOr, true, {x, y, z}, 0},
        {Searches::kAnd, true, {y}, 0},      {Searches::kWithout, true, {x}, 0},
        {Searches::kAnd, false, {}, 0},      {Searches::kOr, false, {y, z}, 0},
        {9, true, {}, 1},  // unknown type: still hands over the empty list
    };
    for (const Case& c : cases) {
        FakeNameLists& lists = windows.nameLists;
        lists.currentList = c.hasCurrent ? List({{x, ""}, {y, ""}}) : nullptr;
        auto rs = List({{y, ""}, {z, ""}});
        Searches::NewRes("Found", *rs, c.type);
        EXPECT_EQ(Fakes().TakeAsserts().size(), c.asserts);
        ASSERT_FALSE(lists.received.empty());
        const auto R = lists.received.back();
        lists.received.clear();
        EXPECT_EQ(Atoms(*R), c.expected) << "type " << c.type << c.hasCurrent;
        EXPECT_EQ(R->pureTitle(), "Found");
        EXPECT_NE(R.get(), rs.get());
        EXPECT_EQ(Searches::GetListsCurrent(), R);
    }
}

}  // namespace
