// The hit-parade index of a name, and the marking of search terms.
#include "SearchFixture.h"

#include "DataBase.h"
#include "Fakes.h"
#include "Parser.h"
#include "PopIndex.h"
#include "SearchInfo.h"

namespace {

// Two series, hit parades of several years, one name ranked in several.
class PopTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        atom* g = db.Group("gnAnna", "Anna", false);
        anna = db.Name("naAnna", "Anna", g);
        atom* other = db.Name("naBea", "Bea", g);
        us = db.Member("psUsYearly", "US yearly", "sePopSeries");
        de = db.Member("psDeYearly", "DE yearly", "sePopSeries");
        us2001 = Parade("poUs2001", "US 2001", us, "2001", "1", {{"3", anna}, {"12b", other}});
        us1999 = Parade("poUs1999", "US 1999", us, "1999", "1", {{"7a", anna}, {"7b", other}});
        de2001 = Parade("poDe2001", "DE 2001", de, "2001", "1", {{"5", anna}});
        us9099 = Parade("poUs9099", "US 1990-1999", us, "1990", "10", {{"3", anna}});
        noSeries = db.Member("poBroken", "Broken", "sePopularities");  // in no series
        db.StrProp(noSeries, "prFromYear", "2000");
        db.StrProp(noSeries, "prYears", "1");
        db.Finish();
    }
    atom* Parade(const std::string& name, const std::string& text, atom* series, const std::string& from,
                 const std::string& years, std::vector<std::pair<std::string, atom*>> ranks) {
        atom* p = db.Member(name, text, "sePopularities");
        db.AtomProp(p, "prSubsetOf", series);
        db.StrProp(p, "prFromYear", from);
        db.StrProp(p, "prYears", years);
        for (auto& [rank, who] : ranks) db.AtomProp(p, "prPop", who, rank);
        return p;
    }
    static std::string Item(atom* p, int rank) { return std::to_string(p->id()) + "/" + std::to_string(rank); }
    void Build(const std::string& text) { Searches::SortPop(anna, text, entries, numEntries, series, numSeries); }

    atom *anna{}, *us{}, *de{}, *us2001{}, *us1999{}, *de2001{}, *us9099{}, *noSeries{};
    std::vector<Searches::PopEntry> entries;
    std::vector<Searches::PopSeriesInfo> series;
    int numEntries = -1, numSeries = -1;
};

TEST_F(PopTest, EntriesGroupedBySeriesOrderAndSortedByTextWithin) {
    Build("");
    EXPECT_EQ(numEntries + numSeries, 0);
    // Series in order of first appearance; within US by text:
    // "US 1990-1999" < "US 1999" < "US 2001".
    Build(Item(us2001, 3) + "," + Item(de2001, 5) + "," + Item(us1999, 7) + "," + Item(us9099, 3) + ",");
    ASSERT_EQ(numSeries, 2);
    ASSERT_EQ(numEntries, 4);
    EXPECT_EQ(series[0].series, us);
    EXPECT_EQ(series[1].series, de);
    std::vector<atom*> pops;
    for (int i = 0; i < numEntries; ++i) pops.push_back(entries[i].pop);
    EXPECT_EQ(pops, (std::vector<atom*>{us9099, us1999, us2001, de2001}));
    EXPECT_EQ(series[1].first, 3);
    // Best: the first of the equal ranks 3 in sorted order (US 1990-1999).
    EXPECT_EQ(series[0].bestRank, 3);
    EXPECT_EQ(series[0].bestEntry, 0);
    EXPECT_EQ(series[0].worstRank, 7);
    // Totals: "12b" counts as 12, "7a"/"7b" as 7.
    EXPECT_EQ(entries[2].total, 12);
    EXPECT_EQ(entries[1].total, 7);

    int si = 0, ei = 0;
    Searches::FindSeries(de, series, numSeries, si, ei);
    EXPECT_EQ(si, 1);
    EXPECT_EQ(ei, 3);
    std::vector<Searches::PopEntry> year;
    EXPECT_EQ(Searches::SelectYearEntries(entries, numEntries, 2001, year), 2);
    EXPECT_EQ(Searches::FindYearEntry(series[0], entries, numEntries, 1999), 1);
    // The ten-year ranking from 1990 is no entry of the year 1990.
    EXPECT_EQ(Searches::FindYearEntry(series[0], entries, numEntries, 1990), 31999);
}

TEST_F(PopTest, BrokenItemsAreReportedAndLeftOutAndHugeRanksKeepNoBest) {
    Build(Item(noSeries, 1) + "," + std::to_string(DataBase::numAtoms + 5) + "/2,," + Item(de2001, 10000));
    EXPECT_EQ(Fakes().TakeAsserts().size(), 2u);
    ASSERT_EQ(numEntries, 1);
    EXPECT_EQ(entries[0].pop, de2001);
    EXPECT_EQ(series[0].bestRank, 10000);
    EXPECT_EQ(series[0].bestEntry, 31999);
    int si = 0, ei = 0;
    Searches::FindSeries(us, {}, 0, si, ei);
    EXPECT_EQ(si, 31999);
}

TEST(SearchInfoMark, MarksEveryLaterHitOfAnyTerm) {
    Parser::InitParser();
    struct Case {
        std::vector<std::pair<std::string, int>> terms;
        std::string text, marked;
    };
    const Case cases[] = {
        {{{"anna", 0}}, "Anna and Susanna", "<b>Anna</b> and Sus<b>anna</b>"},
        {{{"anna", 1}}, "Marie-Anna", "Marie-<b>Anna</b>"},
        {{{"anna", 2}}, "Anna", "Anna"},
        // The second term occurs only before the first hit of the first term.
        {{{"rose", 0}, {"lily", 0}}, "lily and rose", "lily and <b>rose</b>"},
        {{{"rose", 0}, {"lily", 0}}, "rose and lily", "<b>rose</b> and <b>lily</b>"},
        // Empty terms are passed over instead of matching forever.
        {{{"", 0}, {"x", 0}}, "axbx", "a<b>x</b>b<b>x</b>"},
        {{{"", 0}}, "abc", "abc"},
        // Case-blind hits keep their own case and accented letters.
        {{{"\xE9l\xE8ne", 0}}, "H\xC9L\xC8NE", "H<b>\xC9L\xC8NE</b>"},
        {{{"aa", 0}}, "aaaaa", "<b>aa</b><b>aa</b>a"},
    };
    for (const Case& c : cases) {
        searchInfo info;
        info.Init();
        for (const auto& [t, m] : c.terms) info.SetInfo(t, m);
        std::string text = c.text;
        info.Mark(text);
        EXPECT_EQ(text, c.marked) << c.text;
    }
}

}  // namespace
