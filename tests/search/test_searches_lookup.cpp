// The lookup of a typed name (exact text, same sound, similar spelling), the
// hit-parade index of a name, and the marking of search terms.
#include "SearchFixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "DbTestUtil.h"
#include "ExampleMode.h"
#include "Fakes.h"
#include "FlexString.h"
#include "Options.h"
#include "Parser.h"
#include "PopIndex.h"
#include "SearchInfo.h"

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
    EXPECT_EQ(Searches::StripArticle("THE DIE THEO", nullptr), "DIE THEO");  // one, and whole words only
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

// --- the hit-parade index of a name, and the marking of search terms ------------

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

// A hit parade whose block cannot be read (its file, loaded without a lease,
// changed in place since) is told of once and left out of the index,
// without assertions.
TEST(PopIndexBlocks, AnUnreadableBlockIsLeftOutWithoutAssertions) {
    const std::string path = dbtest::TempFile("db");
    dbtest::BuildSmallDb();
    ASSERT_TRUE(DataBase::WriteBinFile(path).ok);
    const int writer = ::open(path.c_str(), O_WRONLY);  // open for writing elsewhere: no lease
    ASSERT_TRUE(DataBase::ReadBinFile(path).ok);
    ::close(writer);
    dbtest::WriteBytes(path, dbtest::ReadBytes(path));  // the same bytes, written in place
    dbtest::FileErrors errors;
    const atom* hit = DataBase::GetAtom("poHitDe2020");
    const std::string text = std::to_string(hit->id()) + "/1," + std::to_string(hit->id()) + "/2,";
    std::vector<Searches::PopEntry> entries;
    std::vector<Searches::PopSeriesInfo> series;
    int numEntries = -1, numSeries = -1;
    Searches::SortPop(DataBase::GetAtom("naAnna"), text, entries, numEntries, series, numSeries);
    EXPECT_EQ(numEntries + numSeries, 0);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_EQ(errors.seen.size(), 1u);
    std::remove(path.c_str());
}

// The index as it was first written: per series in order of first
// appearance, a Shell sort by text (gaps 1, 4, 13, ... each h / 3 rounded
// halves-to-even), so equal texts keep the order that sort gives them.
static std::vector<std::pair<atom*, int>> ShellSortedIndex(const std::vector<Searches::PopEntry>& items) {
    std::vector<atom*> order;
    for (const auto& e : items)
        if (std::find(order.begin(), order.end(), e.series) == order.end()) order.push_back(e.series);
    std::vector<std::pair<atom*, int>> out;
    for (atom* s : order) {
        std::vector<Searches::PopEntry> v;
        for (const auto& e : items)
            if (e.series == s) v.push_back(e);
        const int n = static_cast<int>(v.size());
        int h = 0;
        do { h = 3 * h + 1; } while (h <= n - 1);
        while ((h = static_cast<int>(std::nearbyint(h / 3.0))) != 0)
            for (int i = h; i < n; ++i) {
                Searches::PopEntry t = v[static_cast<size_t>(i)];
                int j = i;
                for (; j >= h && v[static_cast<size_t>(j - h)].pop->Text() > t.pop->Text(); j -= h)
                    v[static_cast<size_t>(j)] = v[static_cast<size_t>(j - h)];
                v[static_cast<size_t>(j)] = t;
            }
        for (const auto& e : v) out.emplace_back(e.pop, e.rank);
    }
    return out;
}

TEST_F(PopTest, ManyItemsInTheOrderOfTheFirstSort) {
    atom* const parades[] = {us2001, us1999, de2001, us9099};
    uint32_t seed = 5;
    for (int round = 0; round < 200; ++round) {
        // Items of each hit parade at most once (one order only), or with
        // repeats (equal texts, whose order the Shell sort decides).
        const bool repeats = round % 2 == 1;
        std::vector<Searches::PopEntry> items;
        std::string text;
        std::vector<int> unused = {0, 1, 2, 3};
        for (int k = 0; k < (repeats ? 1 + round % 40 : 1 + round % 4); ++k) {
            seed = seed * 1103515245u + 12345u;
            size_t pick = (seed >> 16) % unused.size();
            const int which = repeats ? static_cast<int>((seed >> 16) % 4) : unused[pick];
            if (!repeats) unused.erase(unused.begin() + static_cast<long>(pick));
            const int rank = 1 + static_cast<int>((seed >> 8) % 50);
            Searches::PopEntry e;
            e.pop = parades[which];
            e.series = e.pop == de2001 ? de : us;
            e.rank = rank;
            items.push_back(e);
            text += Item(parades[which], rank) + ",";
        }
        Build(text);
        std::vector<std::pair<atom*, int>> got;
        for (int i = 0; i < numEntries; ++i) got.emplace_back(entries[static_cast<size_t>(i)].pop, entries[static_cast<size_t>(i)].rank);
        ASSERT_EQ(got, ShellSortedIndex(items)) << text;
    }
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

TEST(SearchInfoMark, MarksEveryHitOfAnyTermFromLeftToRight) {
    Parser::InitParser();
    struct Case {
        std::vector<std::pair<std::string, int>> terms;
        std::string text, marked;
    };
    const Case cases[] = {
        {{{"anna", 0}}, "Anna and Susanna", "<b>Anna</b> and Sus<b>anna</b>"},
        {{{"anna", 1}}, "Marie-Anna", "Marie-<b>Anna</b>"},
        {{{"anna", 2}}, "Anna", "Anna"},
        // A later term's hit before the first term's is marked too.
        {{{"rose", 0}, {"lily", 0}}, "lily and rose", "<b>lily</b> and <b>rose</b>"},
        // Word modes: the first occurrence standing as a word.
        {{{"sea", 1}}, "seaside by the Sea", "seaside by the <b>Sea</b>"},
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
