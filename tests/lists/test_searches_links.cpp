// The link dispatcher and the small helpers of the engine.
#include "SearchFixture.h"

#include "Cp1252.h"
#include "DataBase.h"
#include "Fakes.h"
#include "TextConstants.h"

namespace {

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
        db.AtomStrProp(link, "prRelatedTo", series, "https://example.org/names");
        bareLink = db.Member("liBare", "Bare", "seLinks");
        other = db.Add("xxOther", "Other");
        db.K("prLang");
        db.Finish();
    }

    static std::string Id(const atom* a) { return std::to_string(a->id()); }

    atom *group{}, *name{}, *oldForm{}, *origin{}, *topic{}, *word{}, *lang{}, *saint{};
    atom *series{}, *pop{}, *link{}, *bareLink{}, *other{};
};

TEST_F(LinkTest, EachKindOpensItsWindow) {
    auto browse = List({{name, ""}});
    struct Case {
        atom* a;
        const char* window;
        const char* call;
    };
    const Case cases[] = {
        {lang, "OrigLang", "ShowAtom"},       {word, "OrigWord", "ShowAtom"},
        {saint, "NameDays", "ShowAtom"},      {topic, "Realm", "ShowAtom"},
        {pop, "Pop", "ShowAtom"},             {series, "Pop", "ShowAtom"},
        {name, "SingleName", "ShowAtomInSet"}, {group, "SingleName", "ShowAtomInSet"},
        {oldForm, "SingleName", "ShowAtomInSet"}, {origin, "SingleName", "ShowAtomInSet"},
        {other, "SingleName", "ShowAtomInSet"},
    };
    for (const Case& c : cases) {
        windows.log = {};
        Searches::FollowLink(Id(c.a), browse, name);
        ASSERT_EQ(windows.log.opened, (std::vector<std::string>{c.window})) << c.a->Text();
        ASSERT_EQ(windows.log.calls.size(), 1u);
        const Call& call = windows.log.calls[0];
        EXPECT_EQ(call.window, c.window);
        EXPECT_EQ(call.what, c.call);
        EXPECT_EQ(call.a, c.a);
        if (std::string(c.window) == "Pop") {
            EXPECT_EQ(call.extra, name);
        }
        if (std::string(c.window) == "SingleName") {
            EXPECT_EQ(call.set, browse);
            EXPECT_TRUE(call.flag);
        }
    }
    EXPECT_TRUE(Fakes().shell.opened.empty());
    EXPECT_TRUE(Fakes().help.topics.empty());
}

TEST_F(LinkTest, LinkEntryOpensItsAddressThroughTheShell) {
    Searches::FollowLink(Id(link), nullptr, nullptr);
    EXPECT_EQ(Fakes().shell.opened, (std::vector<std::string>{"https://example.org/names"}));
    EXPECT_TRUE(windows.log.opened.empty());
    EXPECT_EQ(Searches::BusyDepth(), 0);
}

TEST_F(LinkTest, HelpMarksNeverTouchTheAtomTable) {
    Searches::FollowLink("40000", nullptr, nullptr);
    Searches::FollowLink("40023", nullptr, nullptr);
    // Far beyond any atom id: an index into the table would crash.
    Searches::FollowLink("2000000", nullptr, nullptr);
    EXPECT_EQ(Fakes().help.topics.size(), 3u);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);  // no heading has that mark
    EXPECT_TRUE(windows.log.opened.empty());
}

TEST_F(LinkTest, BrokenLinksDoNothing) {
    struct Case {
        std::string idText;
        size_t asserts;
    };
    const Case cases[] = {
        {std::to_string(DataBase::numAtoms), 1},  // just past the table
        {"39999", 1},
        {"-3", 1},
        {Id(bareLink), 1},                          // a link without its address
    };
    for (const Case& c : cases) {
        Searches::FollowLink(c.idText, nullptr, nullptr);
        EXPECT_EQ(Fakes().TakeAsserts().size(), c.asserts) << c.idText;
    }
    EXPECT_TRUE(windows.log.opened.empty());
    EXPECT_TRUE(windows.log.calls.empty());
    EXPECT_TRUE(Fakes().shell.opened.empty());
}

TEST_F(LinkTest, DeletedAtomIsNotShown) {
    const std::string id = Id(topic);
    DataBase::DeleteAtom(topic);
    Searches::FollowLink(id, nullptr, nullptr);
    EXPECT_TRUE(windows.log.calls.empty());
}

// --- CollectPropTargets ------------------------------------------------------------

TEST_F(LinkTest, CollectPropTargetsFiltersByKindAndCarriesReasons) {
    atom* n2 = name;
    n2->reason = "why";
    db.AtomProp(n2, "prLang", lang);
    db.AtomProp(n2, "prLang", topic);
    db.StrProp(n2, "prLang", "text only");
    std::vector<atom*> src{n2, group};
    std::vector<atom*> out;
    long outN = 0;
    Searches::CollectPropTargets(src, 2, DataBase::prLang, 31999, 31999, out, outN);
    ASSERT_EQ(outN, 2);
    EXPECT_EQ(out[0], lang);
    EXPECT_EQ(out[1], topic);
    EXPECT_EQ(lang->reason, "why");

    outN = 0;
    Searches::CollectPropTargets(src, 2, DataBase::prLang, 8, 9999, out, outN);
    ASSERT_EQ(outN, 1);
    EXPECT_EQ(out[0], lang);

    // n beyond the given atoms is cut to them.
    outN = 0;
    Searches::CollectPropTargets(src, 50, DataBase::prGenName, 31999, 31999, out, outN);
    EXPECT_EQ(outN, 1);
    EXPECT_EQ(out[0], group);
}

// --- count phrases, radio buttons, busy cursor ---------------------------------------

TEST_F(LinkTest, CountPhrasesInBothLanguages) {
    struct Case {
        int lang;
        bool group;
        long n;
        std::string text;
    };
    const Case cases[] = {
        {1, false, 0, "No name"},    {1, false, 1, "1 name"},     {1, true, 3, "3 groups"},
        {0, false, 0, "Kein Name"},  {0, true, 0, "Keine Gruppe"}, {0, false, 2, "2 Namen"},
        {0, true, 12, "12 Gruppen"}, {1, true, 0, "No group"},
    };
    for (const Case& c : cases) {
        TextConstants::textLanguage = c.lang;
        EXPECT_EQ(Searches::CountPhrase(c.group, c.n), c.text);
    }
    TextConstants::textLanguage = 1;
    EXPECT_EQ(Searches::WordCountText(0), "No word");
    EXPECT_EQ(Searches::WordCountText(1), "1 word");
    EXPECT_EQ(Searches::WordCountText(7), "7 words");
    TextConstants::textLanguage = 0;
    EXPECT_EQ(Searches::WordCountText(0), "Kein Wort");
    EXPECT_EQ(Searches::WordCountText(7), "7 " + "Wörter"_cp);
}

TEST_F(LinkTest, ResultSizeTextCountsNamesAndGroupsOnly) {
    TextConstants::textLanguage = 1;
    auto rs = List({});
    EXPECT_EQ(Searches::ResultSizeText(*rs), "Nothing");
    rs->AddResult("Flowers", "", topic);
    EXPECT_EQ(Searches::ResultSizeText(*rs), "Nothing");
    rs->AddResult("Anna", "", group);
    EXPECT_EQ(Searches::ResultSizeText(*rs), "1 group");
    rs->AddResult("Anna", "", name);
    rs->AddResult("Anna", "", name);
    EXPECT_EQ(Searches::ResultSizeText(*rs), "2 names+1 group");
    TextConstants::textLanguage = 0;
    EXPECT_EQ(Searches::ResultSizeText(*List({})), "Nichts");
}

class FakeButton : public Searches::OptionButton {
public:
    bool Value() const override { return on; }
    void SetValue(bool v) override { on = v; ++sets; }
    bool on = false;
    int sets = 0;
};

TEST_F(LinkTest, RadioIndexAndSetRadio) {
    EXPECT_EQ(Searches::RadioIndex(true, false, false), 0);
    EXPECT_EQ(Searches::RadioIndex(false, false, false), 0);
    EXPECT_EQ(Searches::RadioIndex(false, true, false), 1);
    EXPECT_EQ(Searches::RadioIndex(false, true, true), 2);
    for (int index : {0, 1, 2, 5, -1}) {
        FakeButton b0, b1, b2;
        Searches::SetRadio(index, b0, b1, b2);
        const int expected = index == 0 ? 0 : index == 1 ? 1 : 2;
        EXPECT_EQ(Searches::RadioIndex(b0, b1, b2), expected) << index;
        EXPECT_EQ(b0.sets + b1.sets + b2.sets, 1);
    }
}

TEST_F(LinkTest, HourglassNestsAndAnUnpairedOffOnlyResets) {
    Searches::HourglassOn();
    Searches::HourglassOn();
    Searches::HourglassOff();
    EXPECT_EQ(Searches::BusyDepth(), 1);
    EXPECT_EQ(Fakes().busy.ons, 2);
    EXPECT_EQ(Fakes().busy.offs, 0);
    Searches::HourglassOff();
    Searches::HourglassOff();
    EXPECT_EQ(Searches::BusyDepth(), 0);
    EXPECT_EQ(Fakes().busy.ons, 2);
    EXPECT_EQ(Fakes().busy.offs, 2);
}

}  // namespace
