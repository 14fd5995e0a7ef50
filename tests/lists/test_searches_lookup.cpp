// The lookup of a typed name: exact text, same sound, similar spelling.
#include "SearchFixture.h"

#include "DataBase.h"
#include "ExampleMode.h"
#include "Fakes.h"
#include "FlexString.h"
#include "Options.h"
#include "Parser.h"

namespace {

class LookupTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        gAnna = db.Group("gnAnna", "Anna", false);
        anna = db.Name("naAnna", "Anna", gAnna);
        anne = db.Name("naAnne", "Anne", gAnna);
        gPeter = db.Group("gnPeter", "Peter", true);
        peter = db.Name("naPeter", "Peter", gPeter);
        petra = db.Name("naPetra", "Petra", gAnna);
        // Two male names of one spelling, an old form "Johannes" and a name
        // that only the old form matches.
        gJohn = db.Group("gnJohannes", "Johannes", true);
        jan1 = db.Name("naJanA", "Jan", gJohn);
        jan2 = db.Name("naJanB", "Jan", gJohn);
        oldJohannes = OldForm("orJohannes", "Johannes", gJohn);
        oldOnly = OldForm("orIohannes", "Iohannes", gJohn);
        orphanOld = db.Member("orOrphan", "Waisling", "seOrigNames");
        theo = db.Name("naTheo", "The Wanderer", gPeter);
        db.Finish();
        Parser::InitParser();
    }

    // An old form names its group before its set, so the set decides its kind.
    atom* OldForm(const std::string& name, const std::string& text, atom* group) {
        atom* a = db.Add(name, text);
        db.AtomProp(a, "prGenName", group);
        db.AtomProp(a, "prMemberOf", db.K("seOrigNames"));
        return a;
    }

    void Search(const std::string& text, int kindA, int kindB, int kindC) {
        rs = std::make_shared<ResultSet>();
        rs->InitInt();
        Searches::SearchName(text, kindA, kindB, kindC, *rs, single, several);
    }

    atom *gAnna{}, *anna{}, *anne{}, *gPeter{}, *peter{}, *petra{}, *gJohn{}, *jan1{}, *jan2{};
    atom *oldJohannes{}, *oldOnly{}, *orphanOld{}, *theo{};
    std::shared_ptr<ResultSet> rs;
    bool single = false, several = false;
};

TEST_F(LookupTest, ExactHitsCarryReasonZeroAndSetSingleOrSeveral) {
    Search("anna", 0, 1, 4);
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{anna}));
    EXPECT_EQ(Reasons(*rs), (std::vector<std::string>{" 0  "}));
    EXPECT_TRUE(single);
    EXPECT_FALSE(several);

    Search("Jan", 0, 1, 4);
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{jan1, jan2}));
    EXPECT_FALSE(single);
    EXPECT_TRUE(several);

    Examples::exampleMode = true;
    Search("Jan", 0, 1, 4);
    EXPECT_TRUE(single);
    EXPECT_FALSE(several);
}

TEST_F(LookupTest, OneLeadingArticleIsRemoved) {
    for (const char* typed : {"The Anna", "DIE anna", "der Anna", "das Anna", "To Anna"}) {
        Search(typed, 0, 1, 4);
        EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{anna})) << typed;
    }
    bool stripped = false;
    EXPECT_EQ(Searches::StripArticle("THE DIE ANNA", &stripped), "DIE ANNA");
    EXPECT_TRUE(stripped);
    EXPECT_EQ(Searches::StripArticle("THEO", &stripped), "THEO");
    EXPECT_FALSE(stripped);
    // An atom whose own text has an article is keyed without it.
    Search("Wanderer", 0, 1, 4);
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{theo}));
}

TEST_F(LookupTest, OldFormsCountOnlyWhenNoNameHasTheSpelling) {
    // "Johannes" is a group, not a name, so the old form is the hit.
    Search("Johannes", 0, 1, 4);
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{oldJohannes}));
    // Groups are sought: the group wins and the old form is not looked at.
    Search("Johannes", 2, 3, 9999);
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{gJohn}));
}

TEST_F(LookupTest, SecondPassPutsSoundBeforeSpellingAndNeverSingle) {
    const std::string annaSound = anna->Soundex();
    Search("Petre", 0, 1, 4);
    ASSERT_GE(rs->numLines(), 1);
    EXPECT_FALSE(single);
    EXPECT_FALSE(several);
    // Sorted by reason: every sound hit (" 1  ") before every spelling hit.
    auto reasons = Reasons(*rs);
    EXPECT_TRUE(std::is_sorted(reasons.begin(), reasons.end()));
    for (const auto& r : reasons) {
        ASSERT_EQ(r.size(), 4u);
        EXPECT_TRUE(r == " 1  " || r.substr(0, 3) == " 2 ") << r;
    }
    EXPECT_EQ(Fakes().busy.ons, 1);
    EXPECT_EQ(Fakes().busy.offs, 1);
    (void)annaSound;
}

// Candidates of four letters pass at distance 1 only, longer ones at 2.
TEST_F(LookupTest, SpellingLimitDependsOnTheCandidatesLength) {
    FlexString search;
    struct Case {
        const char* typed;
        const char* candidate;
        bool similar;
        int distance;
    };
    const Case cases[] = {
        {"ANA", "ANNA", true, 1},     {"AN", "ANNA", false, 2},
        {"PETR", "PETRA", true, 1},   {"PTR", "PETRA", true, 2},
        {"PT", "PETRA", false, 3},    {"ANNA", "ANNA", true, 0},
    };
    for (const Case& c : cases) {
        search.Init(c.typed);
        EXPECT_EQ(Searches::IsSimilarSpelling(search, c.candidate), c.similar) << c.typed;
        EXPECT_EQ(Searches::LastDistance(), c.distance) << c.typed;
    }
}

TEST_F(LookupTest, SpellingHitsCarryTheirDistance) {
    Search("Pettra", 0, 1, 4);
    bool sawPetra = false;
    for (int32_t i = 0; i < rs->numLines(); ++i) {
        if (rs->atom(i) == petra) {
            sawPetra = true;
            EXPECT_TRUE(rs->reason(i) == " 1  " || rs->reason(i) == " 2 1") << rs->reason(i);
        }
    }
    EXPECT_TRUE(sawPetra);
}

// The sound pass compares the typed text without its article, as the atoms'
// sound keys are made.
TEST_F(LookupTest, SoundPassIgnoresTheArticleOfTheTypedText) {
    // A text that no spelling matches but whose sound key equals Anna's.
    std::string typed;
    for (const char* cand : {"Ana", "Anah", "Hanna", "Annah", "Ahna"}) {
        if (Parser::MakeSoundKey(cand) == anna->Soundex() &&
            Parser::MakeUpperKey(cand) != anna->Uppercase()) {
            typed = cand;
            break;
        }
    }
    if (typed.empty()) GTEST_SKIP() << "no sound-alike of Anna under these sound rules";
    Search("The " + typed, 0, 1, 4);
    bool soundHit = false;
    for (int32_t i = 0; i < rs->numLines(); ++i) {
        if (rs->atom(i) == anna) soundHit = soundHit || rs->reason(i) == " 1  ";
    }
    EXPECT_TRUE(soundHit);
}

// --- LocateName -----------------------------------------------------------------

TEST_F(LookupTest, LocateNameShowsASingleHitInTheCallingWindow) {
    FakeShower caller(windows.log);
    std::string text = "  Anna  ";
    Searches::LocateName(text, 0, 1, &caller);
    EXPECT_EQ(text, "Anna");
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].window, "Caller");
    EXPECT_EQ(windows.log.calls[0].a, anna);
    EXPECT_TRUE(windows.log.opened.empty());
}

TEST_F(LookupTest, LocateNameReplacesAUniqueOldFormByItsGroup) {
    FakeShower caller(windows.log);
    std::string text = "Iohannes";
    Searches::LocateName(text, 0, 1, &caller);
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].a, gJohn);
}

TEST_F(LookupTest, LocateNameOldFormWithoutGroupShowsNothing) {
    FakeShower caller(windows.log);
    std::string text = "Waisling";
    Searches::LocateName(text, 0, 1, &caller);
    EXPECT_TRUE(windows.log.calls.empty());
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
}

TEST_F(LookupTest, LocateNameOpensTheChoiceForSeveralOrSimilarHits) {
    FakeShower caller(windows.log);
    std::string text = "Jan";
    Searches::LocateName(text, 0, 1, &caller);
    ASSERT_EQ(windows.log.opened, (std::vector<std::string>{"Similar"}));
    ASSERT_EQ(windows.log.calls.size(), 1u);
    const Call& c = windows.log.calls[0];
    EXPECT_EQ(c.window, "Similar");
    EXPECT_EQ(c.text, "Jan");
    EXPECT_EQ(c.caller, &caller);
    EXPECT_TRUE(c.flag);
    EXPECT_EQ(c.set->numLines(), 2);

    // One similar hit is still a choice, with several False.
    windows.log = {};
    text = "Annna";
    Searches::LocateName(text, 2, 3, &caller);
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].window, "Similar");
    EXPECT_FALSE(windows.log.calls[0].flag);
    EXPECT_EQ(Atoms(*windows.log.calls[0].set), (std::vector<atom*>{gAnna}));
}

TEST_F(LookupTest, LocateNameCutsLongTextsAndIgnoresEmptyOnes) {
    FakeShower caller(windows.log);
    std::string text = "   ";
    Searches::LocateName(text, 0, 1, &caller);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(Fakes().TakeMessages().empty());

    text = std::string(40, 'x');
    Searches::LocateName(text, 0, 1, &caller);
    EXPECT_EQ(text, std::string(35, 'x'));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{0, 105}));
}

TEST_F(LookupTest, NothingFoundAndTheNewNamesHintOnlyOnce) {
    FakeShower caller(windows.log);
    std::string text = "Zzyzx";
    Searches::LocateName(text, 0, 1, &caller);
    auto first = Fakes().TakeMessages();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].number, 0);
    EXPECT_EQ(first[0].msgClass, 1);
    EXPECT_EQ(first[0].arg, "Zzyzx");
    EXPECT_EQ(first[1].number, 105);
    EXPECT_EQ(first[1].msgClass, 3);
    EXPECT_TRUE(Options::UserNamesInfo);

    Searches::LocateName(text, 0, 1, &caller);
    auto second = Fakes().TakeMessages();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].number, 0);
    EXPECT_TRUE(windows.log.calls.empty());
}

}  // namespace
