// Collecting the atoms that properties point to: what converting groups to
// names, the language search and the information tables all walk.
#include "AtomAccess.h"
#include "Basic.h"
#include "ListTestSupport.h"

namespace {

class PropTargetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        group = db.Group("gnAnna", "Anna", false);
        anna = db.Name("naAnna", "Anna", group);
        anja = db.Name("naAnja", "Anja", group);
        db.With(group, "prNameVariant", anna);
        // A variant whose atom is gone: the property keeps only the "nothing" atom.
        db.With(group, "prNameVariant", db.Nothing());
        db.With(group, "prNameVariant", anja);
        db.With(group, "prNameVariant", db.K("gnAnna"));  // a group, not a name
        db.Finish();
        group->reason() = "why";
    }
    TestDb db;
    atom *group = nullptr, *anna = nullptr, *anja = nullptr;
};

// The "nothing" atom has the kind of a name, so a kind filter alone would let
// it in as a name called "nothing".
TEST_F(PropTargetsTest, TargetsByKindWithoutTheNothingAtom) {
    struct Case {
        int kind1, kind2;
        std::vector<atom*> expected;
    };
    const Case cases[] = {
        {0, 1, {anna, anja}},
        {Basic::kNone, Basic::kNone, {anna, anja, group}},
        {2, 3, {group}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListAtoms::PropTargets({group, nullptr, group}, DataBase::prNameVariant, c.kind1, c.kind2),
                  [&] {
                      std::vector<atom*> twice = c.expected;  // each source in turn
                      twice.insert(twice.end(), c.expected.begin(), c.expected.end());
                      return twice;
                  }())
            << c.kind1;
}

// Only a walk that carries reasons writes them: the tables built in steps
// read them back, the others must not leave their sources' reasons behind.
TEST_F(PropTargetsTest, ReasonsAreCarriedOnlyWhenAsked) {
    ListAtoms::PropTargets({group}, DataBase::prNameVariant, 0, 1);
    EXPECT_EQ(anja->reason(), "");
    ListAtoms::PropTargets({group}, DataBase::prNameVariant, 0, 1, true);
    EXPECT_EQ(anja->reason(), "why");
}

}  // namespace
