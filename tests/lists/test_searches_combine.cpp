// Combining lists through operation marks, and the hand-over of new lists.
#include "SearchFixture.h"

#include "Errors.h"
#include "Fakes.h"

using Searches::CombineAnd;
using Searches::CombineLists;
using Searches::CombineOr;
using Searches::CombineWithout;

namespace {

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

TEST_F(CombineTest, AndKeepsBsOrderAndJoinsBReasonThenAReason) {
    auto A = List({{x, "p"}, {y, "py"}, {z, "pz"}});
    auto B = List({{z, "qz"}, {w, "qw"}, {x, "q"}});
    ResultSet R;
    R.InitInt();
    CombineAnd(*A, *B, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{z, x}));
    EXPECT_EQ(Reasons(R), (std::vector<std::string>{"qz+pz", "q+p"}));
}

TEST_F(CombineTest, AndTakesTheReasonOfTheAtomsLastLineInA) {
    auto A = List({{x, "first"}, {x, "last"}});
    auto B = List({{x, "b"}});
    ResultSet R;
    R.InitInt();
    CombineAnd(*A, *B, R);
    EXPECT_EQ(Reasons(R), (std::vector<std::string>{"b+last"}));
}

TEST_F(CombineTest, OrAppendsBsNewAtomsAfterAllOfA) {
    auto A = List({{x, "a1"}, {y, "a2"}});
    auto B = List({{y, "b1"}, {z, "b2"}, {w, "b3"}, {z, "b4"}});
    ResultSet R;
    R.InitInt();
    CombineOr(*A, *B, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x, y, z, w, z}));
    EXPECT_EQ(Reasons(R), (std::vector<std::string>{"a1", "a2", "b2", "b3", "b4"}));
    EXPECT_EQ(R.NumNames(), 5);
}

TEST_F(CombineTest, WithoutKeepsAsLinesWhoseAtomIsNotInB) {
    auto A = List({{x, "a1"}, {y, "a2"}, {z, "a3"}});
    auto B = List({{y, "b"}});
    ResultSet R;
    R.InitInt();
    CombineWithout(*A, *B, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x, z}));
    EXPECT_EQ(Reasons(R), (std::vector<std::string>{"a1", "a3"}));
}

// The result may be the first operand itself; it is read before it is emptied.
TEST_F(CombineTest, ResultMayBeTheFirstOperand) {
    struct Case {
        int type;
        std::vector<atom*> expected;
        std::vector<std::string> reasons;
    };
    const Case cases[] = {
        {Searches::kAnd, {z, x}, {"qz+pz", "qx+px"}},
        {Searches::kOr, {x, y, z, w}, {"px", "py", "pz", "qw"}},
        {Searches::kWithout, {y}, {"py"}},
    };
    for (const Case& c : cases) {
        auto A = List({{x, "px"}, {y, "py"}, {z, "pz"}});
        auto B = List({{z, "qz"}, {w, "qw"}, {x, "qx"}});
        CombineLists(*A, *B, *A, c.type);
        EXPECT_EQ(Atoms(*A), c.expected) << "type " << c.type;
        EXPECT_EQ(Reasons(*A), c.reasons) << "type " << c.type;
    }
}

TEST_F(CombineTest, ListCombinedWithItself) {
    auto A = List({{x, "a"}, {y, "b"}});
    ResultSet R;
    R.InitInt();
    CombineOr(*A, *A, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x, y}));
    CombineOr(*A, *A, *A);
    EXPECT_EQ(Atoms(*A), (std::vector<atom*>{x, y}));
    CombineAnd(*A, *A, *A);
    EXPECT_EQ(Reasons(*A), (std::vector<std::string>{"a+a", "b+b"}));
    CombineWithout(*A, *A, *A);
    EXPECT_EQ(A->numLines(), 0);
}

// Marks are fresh per combination: an atom marked by an earlier one is not
// taken for a member of a later list.
TEST_F(CombineTest, EarlierMarksDoNotLeakIntoLaterCombinations) {
    auto A1 = List({{x, ""}, {y, ""}});
    auto B = List({{x, ""}});
    ResultSet R;
    R.InitInt();
    CombineAnd(*A1, *B, R);
    auto A2 = List({{z, ""}});
    CombineAnd(*A2, *B, R);
    EXPECT_EQ(R.numLines(), 0);
}

// Lines without an atom belong to no list: And drops them, Or and Without
// keep them where they stand; nothing is read through a missing atom.
TEST_F(CombineTest, LinesWithoutAtomTakeNoPartInMembership) {
    auto A = List({{x, "a"}, {nullptr, "headA"}});
    auto B = List({{nullptr, "headB"}, {x, "b"}, {y, "c"}});
    ResultSet R;
    R.InitInt();
    CombineAnd(*A, *B, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x}));
    CombineOr(*A, *B, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{x, nullptr, nullptr, y}));
    CombineWithout(*A, *B, R);
    EXPECT_EQ(Atoms(R), (std::vector<atom*>{nullptr}));
    EXPECT_EQ(Reasons(R), (std::vector<std::string>{"headA"}));
}

TEST_F(CombineTest, TypeZeroAppendsWithoutEmptyingAndUnknownTypeAsserts) {
    auto A = List({{x, ""}});
    auto B = List({{y, ""}});
    auto R = List({{z, ""}});
    CombineLists(*A, *B, *R, Searches::kAlone);
    EXPECT_EQ(Atoms(*R), (std::vector<atom*>{z, y}));
    CombineLists(*A, *B, *R, 7);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(Atoms(*R), (std::vector<atom*>{z, y}));
}

// --- NewRes -------------------------------------------------------------------

TEST_F(CombineTest, NewResCombinesWithTheManagersCurrentList) {
    struct Case {
        int type;
        std::vector<atom*> expected;
    };
    const Case cases[] = {
        {Searches::kAlone, {y, z}},
        {Searches::kOr, {x, y, z}},
        {Searches::kAnd, {y}},
        {Searches::kWithout, {x}},
    };
    for (const Case& c : cases) {
        FakeNameLists& lists = windows.nameLists;
        lists.currentList = List({{x, ""}, {y, ""}});
        auto rs = List({{y, ""}, {z, ""}});
        Searches::NewRes("Found", *rs, c.type);
        ASSERT_FALSE(lists.received.empty());
        const auto& R = lists.received.back();
        EXPECT_EQ(Atoms(*R), c.expected) << "type " << c.type;
        EXPECT_EQ(R->pureTitle(), "Found");
        EXPECT_NE(R.get(), rs.get());
    }
    EXPECT_EQ(windows.nameLists.created.size(), 4u);
}

TEST_F(CombineTest, NewResWithoutCurrentListCombinesWithAnEmptyOne) {
    auto rs = List({{x, ""}, {y, ""}});
    Searches::NewRes("t", *rs, Searches::kAnd);
    ASSERT_EQ(windows.nameLists.received.size(), 1u);
    EXPECT_EQ(windows.nameLists.received[0]->numLines(), 0);

    windows.nameLists.currentList = nullptr;
    Searches::NewRes("t", *rs, Searches::kOr);
    EXPECT_EQ(Atoms(*windows.nameLists.received[1]), (std::vector<atom*>{x, y}));
}

TEST_F(CombineTest, NewResWithUnknownTypeStillHandsOverTheEmptyList) {
    auto rs = List({{x, ""}});
    Searches::NewRes("t", *rs, 9);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    ASSERT_EQ(windows.nameLists.received.size(), 1u);
    EXPECT_EQ(windows.nameLists.received[0]->numLines(), 0);
}

TEST_F(CombineTest, GetListsCurrentIsTheManagersCurrentList) {
    EXPECT_EQ(Searches::GetListsCurrent(), nullptr);
    windows.nameLists.currentList = List({{x, ""}});
    EXPECT_EQ(Searches::GetListsCurrent(), windows.nameLists.currentList);
}

}  // namespace
