// The link dispatcher and the small helpers of the engine.
#include "SearchFixture.h"

#include "DataBase.h"
#include "Fakes.h"

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
        db.AtomProp(link, "prRelatedTo", series, "https://example.org/names");
        bareLink = db.Member("liBare", "Bare", "seLinks");
        other = db.Add("xxOther", "Other");
        db.Finish();
    }
    static std::string Id(const atom* a) { return std::to_string(a->id()); }

    atom *group{}, *name{}, *oldForm{}, *origin{}, *topic{}, *word{}, *lang{}, *saint{};
    atom *series{}, *pop{}, *link{}, *bareLink{}, *other{};
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
    EXPECT_EQ(Searches::BusyDepth(), 0);
}

TEST_F(LinkTest, HelpMarksNeverTouchTheAtomTable) {
    Searches::FollowLink("40000", nullptr, nullptr);
    Searches::FollowLink("40023", nullptr, nullptr);
    Searches::FollowLink("2000000", nullptr, nullptr);  // as an index into the table: a crash
    EXPECT_EQ(Fakes().help.topics.size(), 3u);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);  // no heading has that mark
    EXPECT_TRUE(windows.log.opened.empty());
}

TEST_F(LinkTest, BrokenLinksDoNothing) {
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

TEST_F(LinkTest, HourglassNestsAndAnUnpairedOffOnlyResets) {
    Searches::HourglassOn();
    Searches::HourglassOn();
    Searches::HourglassOff();
    EXPECT_EQ(Searches::BusyDepth(), 1);
    EXPECT_EQ(Fakes().busy.offs, 0);
    Searches::HourglassOff();
    Searches::HourglassOff();
    EXPECT_EQ(Searches::BusyDepth(), 0);
    EXPECT_EQ(Fakes().busy.ons, 2);
    EXPECT_EQ(Fakes().busy.offs, 2);
}

}  // namespace
