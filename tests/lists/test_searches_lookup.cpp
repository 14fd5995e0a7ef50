// The lookup of a typed name: exact text, same sound, similar spelling.
#include "SearchFixture.h"

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
        atom* gPeter = db.Group("gnPeter", "Peter", true);
        db.Name("naPeter", "Peter", gPeter);
        db.Name("naPetra", "Petra", gAnna);
        // Two names of one spelling, an old form "Johannes" of the group
        // "Johannes", an old form only it matches, one without a group.
        gJohn = db.Group("gnJohannes", "Johannes", true);
        jan1 = db.Name("naJanA", "Jan", gJohn);
        jan2 = db.Name("naJanB", "Jan", gJohn);
        oldJohannes = OldForm("orJohannes", "Johannes");
        OldForm("orIohannes", "Iohannes");
        db.Member("orOrphan", "Waisling", "seOrigNames");
        theo = db.Name("naTheo", "The Wanderer", gPeter);
        db.Finish();
        Parser::InitParser();
    }
    // An old form names its group before its set, so the set decides its kind.
    atom* OldForm(const std::string& name, const std::string& text) {
        return db.With(db.Name(name, text, gJohn), "prMemberOf", db.K("seOrigNames"));
    }
    void Search(const std::string& text, int kindA = 0, int kindB = 1, int kindC = 4) {
        rs = std::make_shared<ResultSet>();
        rs->InitInt();
        Searches::SearchName(text, kindA, kindB, kindC, *rs, single, several);
    }
    // LocateName from a calling window; the text as it was left.
    std::string Locate(std::string text, int kindA = 0, int kindB = 1) {
        windows.log = {};
        Searches::LocateName(text, kindA, kindB, &caller);
        return text;
    }

    atom *gAnna{}, *anna{}, *gJohn{}, *jan1{}, *jan2{}, *oldJohannes{}, *theo{};
    std::shared_ptr<ResultSet> rs;
    bool single = false, several = false;
    FakeShower caller{windows.log, "Caller"};
};

TEST_F(LookupTest, ExactHitsArticlesOldFormsAndExampleMode) {
    Search("anna");
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{anna}));
    EXPECT_EQ(Reasons(*rs), (std::vector<std::string>{" 0  "}));
    EXPECT_TRUE(single && !several);
    Search("Jan");
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{jan1, jan2}));
    EXPECT_TRUE(!single && several);
    Examples::exampleMode = true;  // example mode takes the first hit as the one
    Search("Jan");
    EXPECT_TRUE(single && !several);
    Examples::exampleMode = false;

    // One leading article goes, in both languages; atoms are keyed without theirs.
    for (const char* typed : {"The Anna", "DIE anna", "der Anna", "das Anna", "To Anna"}) {
        Search(typed);
        EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{anna})) << typed;
    }
    EXPECT_EQ(Searches::StripArticle("THE DIE ANNA", nullptr), "DIE ANNA");
    EXPECT_EQ(Searches::StripArticle("THEO", nullptr), "THEO");
    Search("Wanderer");
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{theo}));

    // Old forms count only when no name has the spelling.
    Search("Johannes");
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{oldJohannes}));
    Search("Johannes", 2, 3, 9999);
    EXPECT_EQ(Atoms(*rs), (std::vector<atom*>{gJohn}));
}

TEST_F(LookupTest, SecondPassPutsSoundBeforeSpellingAndNeverSingle) {
    Search("Petre");
    ASSERT_GE(rs->numLines(), 2);
    EXPECT_FALSE(single || several);
    auto reasons = Reasons(*rs);
    EXPECT_TRUE(std::is_sorted(reasons.begin(), reasons.end()));
    for (const auto& r : reasons) EXPECT_TRUE(r == " 1  " || r == " 2 1" || r == " 2 2") << r;
    EXPECT_EQ(Fakes().busy.ons, 1);
    EXPECT_EQ(Fakes().busy.offs, 1);

    // The sound pass compares the typed text without its article: a sound
    // hit, not a spelling one.
    ASSERT_EQ(Parser::MakeSoundKey("Hanna"), anna->Soundex());
    Search("The Hanna");
    bool soundHit = false;
    for (int32_t i = 0; i < rs->numLines(); ++i) soundHit |= rs->atom(i) == anna && rs->reason(i) == " 1  ";
    EXPECT_TRUE(soundHit);
}

// Candidates of four letters pass at distance 1 only, longer ones at 2.
TEST_F(LookupTest, SpellingLimitDependsOnTheCandidatesLength) {
    struct Case {
        const char *typed, *candidate;
        bool similar;
        int distance;
    };
    const Case cases[] = {
        {"ANA", "ANNA", true, 1}, {"AN", "ANNA", false, 2}, {"PETR", "PETRA", true, 1},
        {"PTR", "PETRA", true, 2}, {"PT", "PETRA", false, 3}, {"ANNA", "ANNA", true, 0},
    };
    FlexString search;
    for (const Case& c : cases) {
        search.Init(c.typed);
        EXPECT_EQ(Searches::IsSimilarSpelling(search, c.candidate), c.similar) << c.typed;
        EXPECT_EQ(Searches::LastDistance(), c.distance) << c.typed;
    }
}

TEST_F(LookupTest, LocateNameShowsOneHitOrOpensTheChoice) {
    EXPECT_EQ(Locate("  Anna  "), "Anna");
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].window, "Caller");
    EXPECT_EQ(windows.log.calls[0].a, anna);
    EXPECT_TRUE(windows.log.opened.empty());

    Locate("Iohannes");  // a unique old form stands for its group
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].a, gJohn);
    Locate("Waisling");  // ... and without a group shows nothing
    EXPECT_TRUE(windows.log.calls.empty());
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);

    Locate("Jan");
    ASSERT_EQ(windows.log.opened, (std::vector<std::string>{"Similar"}));
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].text, "Jan");
    EXPECT_EQ(windows.log.calls[0].caller, &caller);
    EXPECT_TRUE(windows.log.calls[0].flag);
    EXPECT_EQ(windows.log.calls[0].set->numLines(), 2);
    // One similar hit is still a choice, with several False.
    Locate("Annna", 2, 3);
    ASSERT_EQ(windows.log.calls.size(), 1u);
    EXPECT_EQ(windows.log.calls[0].window, "Similar");
    EXPECT_FALSE(windows.log.calls[0].flag);
    EXPECT_EQ(Atoms(*windows.log.calls[0].set), (std::vector<atom*>{gAnna}));
}

TEST_F(LookupTest, LongEmptyOrUnknownTextsAndTheNewNamesHintOnlyOnce) {
    EXPECT_EQ(Locate("   "), "");
    EXPECT_TRUE(Fakes().TakeMessages().empty());
    EXPECT_EQ(Locate(std::string(40, 'x')), std::string(35, 'x'));
    const auto first = Fakes().TakeMessages();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].number, 0);  // nothing found, with the text
    EXPECT_EQ(first[0].msgClass, 1);
    EXPECT_EQ(first[0].arg, std::string(35, 'x'));
    EXPECT_EQ(first[1].number, 105);  // the hint on new names
    EXPECT_EQ(first[1].msgClass, 3);
    EXPECT_TRUE(Options::UserNamesInfo);
    Locate("Zzyzx");
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{0});
    EXPECT_TRUE(windows.log.calls.empty());
}

}  // namespace
