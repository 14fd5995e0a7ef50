// Collecting the atoms that properties point to: what converting groups to
// names, the language search and the information tables all walk.
#include "AtomAccess.h"
#include "Basic.h"
#include "ListTestSupport.h"

namespace {

class CollectPropTargetsTest : public ::testing::Test {
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
TEST_F(CollectPropTargetsTest, TargetsByKindWithoutTheNothingAtomFromIndexOn) {
    struct Case {
        int kind1, kind2;
        long outN;
        std::vector<atom*> expected;  // out from index outN on
    };
    const Case cases[] = {
        {0, 1, 0, {anna, anja}},
        {Basic::kNone, Basic::kNone, 0, {anna, anja, group}},
        {2, 3, 1, {group}},
    };
    for (const Case& c : cases) {
        std::vector<atom*> out(static_cast<size_t>(c.outN), nullptr);
        long n = c.outN;
        ListAtoms::CollectPropTargets({group}, 1, DataBase::prNameVariant, c.kind1, c.kind2, out, n);
        ASSERT_EQ(n, c.outN + static_cast<long>(c.expected.size())) << c.kind1;
        EXPECT_EQ(std::vector<atom*>(out.begin() + c.outN, out.begin() + n), c.expected) << c.kind1;
    }
    EXPECT_EQ(anja->reason(), "why");  // each target takes its source's reason
}

}  // namespace
