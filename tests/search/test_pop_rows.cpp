// The rows of the hit-parade window's tables: a name's hit parades with the
// featured ones in bold, its years, and the ranked names of one hit parade.
#include "Fakes.h"
#include "PopIndex.h"
#include "PopRows.h"
#include "SearchFixture.h"
#include "TextConstants.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows Cells(const std::vector<PopRows::Row>& rows) {
    Rows out;
    for (const auto& r : rows) out.emplace_back(r.text, r.rank);
    return out;
}

class PopRowsTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        atom* g = db.Group("gnAnna", "Anna", false);
        atom* m = db.Group("gnTim", "Tim", true);
        anna = db.Name("naAnna", "Anna", g);
        bea = db.Name("naBea", "Bea", g);
        tim = db.Name("naTim", "Tim", m);
        for (const char* s : {"psUsYearly", "psDeYearly", "psChGermanYearly", "psAtYearly"})
            db.Member(s, std::string(s).substr(2, 2), "sePopSeries");
        us = db.K("psUsYearly");
        at = Parade("poAt2001", "AT 2001", db.K("psAtYearly"), "2001", 1, {{"2", anna}});
        ch = Parade("poCh2001", "CH 2001", db.K("psChGermanYearly"), "2001", 1, {{"4", anna}});
        de = Parade("poDe1999", "DE 1999", db.K("psDeYearly"), "1999", 1, {{"1", anna}});
        us2000 = Parade("poUs2000", "US 2000", us, "2000", 1, {{"5", anna}});
        us2001 = Parade("poUs2001", "US 2001", us, "2001", 1, {{"1", tim}, {"3", anna}, {"12", bea}});
        span = Parade("poUs9099", "US 1990-1999", us, "1990", 10, {{"8", anna}});
        empty = Parade("poEmpty", "Empty", us, "2002", 1, {});
        db.Finish();
    }
    atom* Parade(const std::string& id, const std::string& text, atom* series, const std::string& from, int years,
                 std::vector<std::pair<std::string, atom*>> ranks) {
        atom* p = db.Member(id, text, "sePopularities");
        db.AtomProp(p, "prSubsetOf", series);
        db.StrProp(p, "prFromYear", from);
        db.StrProp(p, "prYears", std::to_string(years));
        for (auto& [rank, who] : ranks) db.AtomProp(p, "prPop", who, rank);
        return p;
    }
    static std::string Item(atom* p, int rank) { return std::to_string(p->id()) + "/" + std::to_string(rank); }
    void Index(const std::vector<std::pair<atom*, int>>& items) {
        std::string text;
        for (auto& [p, r] : items) text += (text.empty() ? "" : ",") + Item(p, r);
        Searches::SortPop(anna, text, entries, numEntries, series, numSeries);
    }
    // A hit parade of its own with the given ranks, in that order.
    atom* Ranked(std::vector<std::pair<std::string, atom*>> ranks) {
        static int n = 0;
        return Parade("poR" + std::to_string(++n), "R", us, "2005", 1, std::move(ranks));
    }

    atom *anna{}, *bea{}, *tim{}, *us{}, *at{}, *ch{}, *de{}, *us2000{}, *us2001{}, *span{}, *empty{};
    std::vector<Searches::PopEntry> entries;
    std::vector<Searches::PopSeriesInfo> series;
    int numEntries = 0, numSeries = 0;
};

TEST_F(PopRowsTest, FeaturedRowsFollowTheTextLanguageThenOneRowPerEntry) {
    Index({{us2001, 3}, {de, 1}, {ch, 4}, {at, 2}, {us2000, 5}});
    int featured = -1;
    TextConstants::textLanguage = 1;
    Rows english = Cells(PopRows::NameRows(entries, numEntries, series, numSeries, featured));
    EXPECT_EQ(featured, 1);
    ASSERT_EQ(english.size(), 6u);
    // The US series' last entry in text order, in bold; the rank of the
    // hit parade's length: US 2001 ranks up to 12.
    EXPECT_EQ(english[0], (std::pair<std::string, std::string>{"<b>US 2001</b>", "3    (of 12)"}));
    EXPECT_EQ(english[1].first, "US 2000");
    EXPECT_EQ(english[2], (std::pair<std::string, std::string>{"US 2001", "3    (of 12)"}));

    TextConstants::textLanguage = 0;
    auto german = PopRows::NameRows(entries, numEntries, series, numSeries, featured);
    EXPECT_EQ(featured, 4);
    std::vector<std::string> bold;
    for (int i = 0; i < featured; ++i) bold.push_back(german[i].text);
    EXPECT_EQ(bold, (std::vector<std::string>{"<b>DE 1999</b>", "<b>CH 2001</b>", "<b>AT 2001</b>",
                                              "<b>US 2001</b>"}));
    EXPECT_EQ(german[1].rank, "4    (von 4)");
    EXPECT_EQ(german[1].a, ch);
    EXPECT_EQ(german.size(), 9u);

    // Without entries there is nothing to feature.
    Index({});
    EXPECT_TRUE(PopRows::NameRows(entries, numEntries, series, numSeries, featured).empty());
    EXPECT_EQ(featured, 0);
}

TEST_F(PopRowsTest, YearsAreTheDistinctYearlyFirstYearsSortedAsText) {
    Index({{us2001, 3}, {ch, 4}, {at, 2}, {de, 1}, {span, 8}});
    EXPECT_EQ(PopRows::YearList(entries, numEntries), (std::vector<std::string>{"1999", "2001"}));
    Index({});
    EXPECT_TRUE(PopRows::YearList(entries, numEntries).empty());
}

TEST_F(PopRowsTest, GenderIsTheKindOfTheFirstRankedNameAndMaleWithoutNames) {
    for (int lang : {0, 1}) {
        TextConstants::textLanguage = lang;
        EXPECT_EQ(PopRows::genderStr(us2001), lang ? "male" : "m\xe4nnlich");
        EXPECT_EQ(PopRows::genderStr(at), lang ? "female" : "weiblich");
        EXPECT_EQ(PopRows::gender(empty), 0);
        EXPECT_EQ(PopRows::genderStr(empty), lang ? "male" : "m\xe4nnlich");
    }
    EXPECT_EQ(PopRows::gender(nullptr), 0);
}

TEST_F(PopRowsTest, RankedNamesShowSharedRanksTheMarkAndThreeCharacterRanks) {
    struct Case {
        std::vector<std::pair<std::string, atom*>> ranks;
        const atom* name;
        Rows rows;
        int nameRow;
    };
    const Case cases[] = {
        {{{"4a", anna}, {"4b", bea}}, nullptr, {{"Anna (+Bea)", "  4"}, {"Bea (+Anna)", "  4"}}, -1},
        {{{"7", tim}, {"123", anna}, {"1000", bea}}, anna, {{"Tim", "  7"}, {"   --> Anna", "123"}, {"Bea", "1000"}}, 1},
        {{{"1", tim}, {"2a", anna}, {"2b", bea}}, bea, {{"Tim", "  1"}, {"Anna (+Bea)", "  2"}, {"   --> Bea (+Anna)", "  2"}}, 2},
        {{}, anna, {}, -1},
    };
    for (const Case& c : cases) {
        atom* p = Ranked(c.ranks);
        int nameRow = -7;
        auto rows = PopRows::PopNameRows(p, c.name, nameRow);
        EXPECT_EQ(Cells(rows), c.rows);
        EXPECT_EQ(nameRow, c.nameRow);
        for (const auto& r : rows) EXPECT_EQ(r.reason, r.rank);  // the rank is the reason
    }
    EXPECT_EQ(PopRows::RankColumn(""), "   ");
    EXPECT_EQ(PopRows::RankColumn("12345"), "12345");
}

TEST_F(PopRowsTest, APartnerMissingAtAnEndIsReportedAndTheRowStandsAlone) {
    int nameRow = 0;
    // A lone "a" at the end, a lone "b" at the start.
    EXPECT_EQ(Cells(PopRows::PopNameRows(Ranked({{"1", tim}, {"2a", anna}}), nullptr, nameRow)),
              (Rows{{"Tim", "  1"}, {"Anna", "  2"}}));
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(Cells(PopRows::PopNameRows(Ranked({{"2b", bea}, {"3", tim}}), nullptr, nameRow)),
              (Rows{{"Bea", "  2"}, {"Tim", "  3"}}));
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    // A partner with the wrong letter is still named, and reported.
    EXPECT_EQ(Cells(PopRows::PopNameRows(Ranked({{"2a", anna}, {"3", tim}}), nullptr, nameRow))[0].first,
              "Anna (+Tim)");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
}

}  // namespace
