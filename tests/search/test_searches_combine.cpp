// Combining lists through operation marks, the hand-over of new lists, and
// the link dispatcher.
#include "SearchFixture.h"

#include "Fakes.h"
#include "GenMsg.h"

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

// And keeps B's order and puts the reason of the atom's last line in A before
// B's reason; Or appends B's new atoms after all of A; Without keeps A's lines
// whose atom is not in B. The result may be A itself.
TEST_F(CombineTest, EveryTypeIntoAFreshListAndIntoTheFirstOperand) {
    struct Case {
        int type;
        std::vector<atom*> atoms;
        std::vector<std::string> reasons;
    };
    const Case cases[] = {
        {Searches::kAnd, {z, x}, {"pz+qz", "px2+qx"}},
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

// --- the link dispatcher ------------------------------------------------------

class LinkTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        group = db.Group("gnAnna", "Anna", false);
        name = db.Name("naAnna", "Anna", group);
        oldForm = db.Member("orAnna", "Hanna", "seOrigNames");
        origin = db.Member("orEntry", "Hebrew origin", "seOrigins");
        topic = db.Member("reFlowers", "Flowers", "seRealms");
        word = db.Member("woGrace", "grace", "seWords");
        lang = db.Member("laHebrew", "Hebrew", "seLanguages");
        saint = db.Member("saAnna", "St. Anna", "seSaints");
        series = db.Member("psUs", "US", "sePopSeries");
        pop = db.Member("poUs2001", "US 2001", "sePopularities");
        link = db.Member("liSite", "Site", "seLinks");
        db.AtomProp(link, "prRelatedTo", series, "https://example.org/names");
        bareLink = db.Member("liBare", "Bare", "seLinks");
        fileLink = db.Member("liFile", "File", "seLinks");
        db.StrProp(fileLink, "prRelatedTo", "file:///etc/passwd");
        other = db.Add("xxOther", "Other");
        db.Finish();
    }
    static std::string Id(const atom* a) { return std::to_string(a->id()); }

    atom *group{}, *name{}, *oldForm{}, *origin{}, *topic{}, *word{}, *lang{}, *saint{};
    atom *series{}, *pop{}, *link{}, *bareLink{}, *fileLink{}, *other{};
};

TEST_F(LinkTest, EachKindOpensItsWindow) {
    auto browse = List({{name, ""}});
    const std::pair<atom*, const char*> cases[] = {
        {lang, "OrigLang"},      {word, "OrigWord"},      {saint, "NameDays"},   {topic, "Realm"},
        {pop, "Pop"},            {series, "Pop"},         {name, "SingleName"},  {group, "SingleName"},
        {oldForm, "SingleName"}, {origin, "SingleName"},  {other, "SingleName"},
    };
    for (const auto& [a, window] : cases) {
        windows.log = {};
        Searches::FollowLink(Id(a), browse, name);
        ASSERT_EQ(windows.log.opened, (std::vector<std::string>{window})) << a->Text();
        ASSERT_EQ(windows.log.calls.size(), 1u);
        const Call& call = windows.log.calls[0];
        EXPECT_EQ(call.window, window);
        EXPECT_EQ(call.a, a);
        EXPECT_EQ(call.extra, std::string(window) == "Pop" ? name : nullptr);
        if (std::string(window) == "SingleName") {
            EXPECT_EQ(call.set, browse);
            EXPECT_TRUE(call.flag);
        }
    }
    EXPECT_TRUE(Fakes().shell.opened.empty());
    EXPECT_TRUE(Fakes().help.topics.empty());

    Searches::FollowLink(Id(link), nullptr, nullptr);  // a link entry opens its address
    EXPECT_EQ(Fakes().shell.opened, (std::vector<std::string>{"https://example.org/names"}));
    EXPECT_EQ(Services::BusyDepth(), 0);
    // A desktop without a web program: the address to copy, as every link shows it.
    Fakes().shell.result = false;
    Searches::FollowLink(Id(link), nullptr, nullptr);
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMnoProgramForAddress);
    EXPECT_EQ(shown[0].arg, "https://example.org/names");
    EXPECT_EQ(Services::BusyDepth(), 0);
    // A link entry to a local file opens nothing and says nothing.
    Fakes().shell.opened.clear();
    Searches::FollowLink(Id(fileLink), nullptr, nullptr);
    EXPECT_TRUE(Fakes().shell.opened.empty());
    EXPECT_TRUE(Fakes().TakeMessages().empty());
}

// Help marks open their topic and never touch the atom table; broken links
// do nothing.
TEST_F(LinkTest, HelpMarksNeverTouchTheAtomTableAndBrokenLinksDoNothing) {
    Searches::FollowLink("40000", nullptr, nullptr);
    Searches::FollowLink("40023", nullptr, nullptr);
    Searches::FollowLink("2000000", nullptr, nullptr);  // as an index into the table: a crash
    EXPECT_EQ(Fakes().help.topics.size(), 3u);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);  // no heading has that mark

    const std::string deleted = Id(topic);
    DataBase::DeleteAtom(topic);
    Searches::FollowLink(deleted, nullptr, nullptr);  // a deleted atom: quietly nothing
    for (const std::string& id : {std::to_string(DataBase::numAtoms), std::string("39999"), std::string("-3"),
                                  Id(bareLink) /* a link without its address */}) {
        Searches::FollowLink(id, nullptr, nullptr);
        EXPECT_EQ(Fakes().TakeAsserts().size(), 1u) << id;
    }
    EXPECT_TRUE(windows.log.opened.empty());
    EXPECT_TRUE(windows.log.calls.empty());
    EXPECT_TRUE(Fakes().shell.opened.empty());
}

}  // namespace
