// The favorites table apart from its window, two runs that keep it, and
// the minute rule of the windows that save by themselves.
#include <functional>

#include "AutoSave.h"
#include "Fakes.h"
#include "FavoriteRules.h"
#include "ListTestSupport.h"
#include "Options.h"
#include "OtherRun.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "TextConstants.h"

namespace {

TEST(AutoSave, SavesOnceTheMinuteIsTwoPastTheLastChangeAcrossTheHour) {
    const struct {
        int change, now;
        bool due;
    } cases[] = {
        {10, 10, false}, {10, 11, false}, {10, 12, true}, {10, 59, true},
        {58, 0, true},  // 10:58 to 11:00
        {59, 0, false}, // 10:59 to 11:00: one minute only
        {59, 1, true},  {0, 59, true}, {30, 29, true},  // hours are not compared
    };
    for (const auto& c : cases)
        EXPECT_EQ(AutoSave::MinuteSaveDue(c.now, c.change), c.due) << c.change << " -> " << c.now;
}

class FavoriteRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        group = db.Group("gnTheo", "Theo", true);
        other = db.Name("naTeo", "Teo", group);
        theo = db.Name("naTheo", "Theo", group);
        lonely = db.Group("gnSolo", "Solo", false);
        sola = db.Name("naSola", "Sola", lonely);
        // The group's names in their order: Teo before Theo.
        db.AtomProp(group, "prNameVariant", other);
        db.AtomProp(group, "prNameVariant", theo);
        db.AtomProp(lonely, "prNameVariant", sola);
        db.Finish();
        table.InitInt();
    }
    TestDb db;
    atom *group = nullptr, *other = nullptr, *theo = nullptr, *lonely = nullptr, *sola = nullptr;
    ResultSet table;
};

TEST_F(FavoriteRulesTest, AGroupBecomesItsNameOfTheSameTextAndNothingIsAddedTwice) {
    FavoriteRules::AddOutcome o = FavoriteRules::Add(table, other);
    EXPECT_TRUE(o.added);
    EXPECT_EQ(o.line, 0);
    o = FavoriteRules::Add(table, group);
    EXPECT_TRUE(o.added);
    EXPECT_EQ(table.atom(1), theo);
    o = FavoriteRules::Add(table, group);  // the same favorite again
    EXPECT_FALSE(o.added);
    EXPECT_EQ(o.line, 1);
    o = FavoriteRules::Add(table, theo);
    EXPECT_EQ(o.line, 1);
    EXPECT_EQ(table.numLines(), 2);
    for (auto& a : Fakes().TakeAsserts()) ADD_FAILURE() << a;

    // A group without a name of its own text: reported, and kept as the group.
    o = FavoriteRules::Add(table, lonely);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_TRUE(o.added);
    EXPECT_EQ(table.atom(2), lonely);
}

TEST_F(FavoriteRulesTest, TheTableTakesAHundredFavoritesAndNoMore) {
    for (int i = 0; i < FavoriteRules::kMaxFavorites - 1; ++i) table.AddResult("x", "", nullptr);
    EXPECT_TRUE(FavoriteRules::Add(table, theo).added);
    EXPECT_TRUE(FavoriteRules::FitsTable(table));
    FavoriteRules::AddOutcome o = FavoriteRules::Add(table, other);
    EXPECT_TRUE(o.full);
    EXPECT_FALSE(o.added);
    EXPECT_EQ(table.numLines(), 100);
    EXPECT_EQ(FavoriteRules::Add(table, theo).line, 99);  // one already there is still found
    table.AddResult("y", "", nullptr);
    EXPECT_FALSE(FavoriteRules::FitsTable(table));
}

TEST_F(FavoriteRulesTest, CommentsFollowTheFirstTabAndLoseTheirDoubleQuotes) {
    FavoriteRules::Add(table, theo);
    EXPECT_EQ(FavoriteRules::Comment(table, 0), "");
    FavoriteRules::StoreComment(table, 0, "say \"Teddy\", 100% sure\tor not");
    EXPECT_EQ(table.line(0), "Theo\tsay 'Teddy', 100% sure\tor not");
    EXPECT_EQ(FavoriteRules::Comment(table, 0), "say 'Teddy', 100% sure\tor not");
    FavoriteRules::StoreComment(table, 0, "");
    EXPECT_EQ(table.line(0), "Theo\t");
    EXPECT_EQ(FavoriteRules::Comment(table, 0), "");
    // A line whose atom is unknown keeps its name and takes comments too.
    table.AddResult("Gone\told", "", DataBase::nothingAtom);
    EXPECT_EQ(FavoriteRules::Comment(table, 1), "old");
    FavoriteRules::StoreComment(table, 1, "new");
    EXPECT_EQ(table.line(1), "Gone\tnew");
    EXPECT_EQ(FavoriteRules::Comment(table, 7), "");  // beyond the table: nothing
}

// The table as it is stored is the list's own value, byte for byte, and a
// name this run does not know is written back as it was read.
TEST_F(FavoriteRulesTest, TheStoredValueIsTheListsAndKeepsAnUnknownName) {
    FavoriteRules::Add(table, theo);
    FavoriteRules::Add(table, other);
    FavoriteRules::StoreComment(table, 1, "a, b\t100%");
    FavoriteRules::StoredTable stored("Favorites");
    EXPECT_EQ(StoredLinesText(stored.LinesOf(table)), table.RegistryText());
    EXPECT_EQ(ParseStoredLines(table.RegistryText()), stored.LinesOf(table));

    const std::string value = "0,2,Theo,,naTheo,Zyxa%09mine,,naZyxaUser,//";
    ASSERT_TRUE(Fakes().settings.Write(Options::RegBaseKey + "Sets", "Favorites", value));
    stored.Load(table);
    ASSERT_EQ(table.numLines(), 2);
    EXPECT_EQ(table.atom(1), DataBase::nothingAtom);
    EXPECT_EQ(StoredLinesText(stored.LinesOf(table)), value);
    // The name made again (a new name of the same key): the line takes it.
    atom* zyxa = db.Make("naZyxaUser", 1, "Zyxa");
    EXPECT_TRUE(stored.FollowUserNames(table).changed);
    EXPECT_EQ(table.atom(1), zyxa);
    EXPECT_EQ(table.line(1), "Zyxa\tmine");
}

// The merge line by line: lines as "text" with the name "na" + the text
// before its TAB. Base, the other run's value and this run's table, and
// what is kept of them.
TEST_F(FavoriteRulesTest, AMergeKeepsEveryCommentAndNoDeletedLine) {
    auto lines = [](std::initializer_list<const char*> texts) {
        std::vector<StoredLine> out;
        for (const std::string t : texts) out.push_back({t, "", "na" + t.substr(0, t.find('\t'))});
        return out;
    };
    const struct {
        const char* what;
        std::vector<StoredLine> base, theirs, mine, merged;
    } cases[] = {
        {"added in both, the comment only there", {}, lines({"Anna\tA2"}), lines({"Anna"}), lines({"Anna\tA2"})},
        {"added in both, an empty one here", {}, lines({"Anna\tA2"}), lines({"Anna\t"}), lines({"Anna\tA2"})},
        {"added in both, a comment in each", {}, lines({"Anna\tA2"}), lines({"Anna\tA1"}), lines({"Anna\tA1"})},
        {"an empty comment is none: deleted there", lines({"Anna", "Ida"}), lines({"Ida"}), lines({"Anna\t", "Ida"}),
         lines({"Ida"})},
        {"deleted here: not back from there", lines({"Anna", "Ida"}), lines({"Anna", "Ida\tkind"}), lines({"Ida"}),
         lines({"Ida\tkind"})},
        {"changed here: stays", lines({"Anna\tx", "Ida"}), lines({"Anna\tx"}), lines({"Anna\tx", "Ida\tmine"}),
         lines({"Anna\tx", "Ida\tmine"})},
        {"changed in both: this run's", lines({"Anna\tx"}), lines({"Anna\ty"}), lines({"Anna\tmine"}),
         lines({"Anna\tmine"})},
    };
    for (const auto& c : cases) EXPECT_EQ(FavoriteRules::Merge(c.base, c.theirs, c.mine), c.merged) << c.what;
}

// Two runs keep the table, the other run a process of its own: both start
// on [Theo], the other run saves first, then this one.
TEST_F(FavoriteRulesTest, TwoRunsLoseNoFavorite) {
    using Act = std::function<void(ResultSet&)>;
    FavoriteRules::StoredTable* stored = nullptr;
    const Act addTeo = [&](ResultSet& t) { FavoriteRules::Add(t, other); }, addSola = [&](ResultSet& t) {
        FavoriteRules::Add(t, sola);
    };
    const struct {
        const char* what;
        Act there, here;
        bool replaced;
        std::vector<std::string> lines;
    } cases[] = {
        {"added in both: both kept", addSola, addTeo, false, {"Theo", "Teo", "Sola"}},
        {"deleted there, untouched here: gone", [](ResultSet& t) { t.markLine(0), t.DelMarked(); }, addTeo, false,
         {"Teo"}},
        {"comment changed there: kept", [](ResultSet& t) { FavoriteRules::StoreComment(t, 0, "kind"); }, addTeo,
         false, {"Theo\tkind", "Teo"}},
        {"a table replaced here wins", addSola, [&](ResultSet& t) { t.Reset(), addTeo(t); }, true, {"Teo"}},
        {"its name deleted there: kept there, so kept", [&](ResultSet& t) {
             DataBase::DeleteAtom(theo);
             stored->FollowUserNames(t);
         }, addTeo, false, {"Theo", "Teo"}},
    };
    TempFolder dir;
    const Services::Set saved = Services::Get();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileSettingsStore file(dir / c.what);
        Services::Set set = saved;
        set.settings = &file;
        Services::Install(set);
        FavoriteRules::StoredTable here("Favorites");
        stored = &here;
        table.Reset();
        FavoriteRules::Add(table, theo);
        EXPECT_TRUE(here.Save(table).ok);
        EXPECT_TRUE(OtherRun([&] { return c.there(table), here.Save(table).ok; }).Run());
        c.here(table);
        if (c.replaced) here.Replaced();
        EXPECT_TRUE(here.Save(table).ok);
        std::vector<std::string> lines;  // the table shows what was written
        for (int32_t i = 0; i < table.numLines(); ++i) lines.push_back(table.line(i));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(FileSettingsStore(dir / c.what).Read(Options::RegBaseKey + "Sets", "Favorites"), table.RegistryText());
    }
    Services::Install(saved);
}

}  // namespace
