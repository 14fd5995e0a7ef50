// The description builders on small databases made for each case: what the
// sample data does not show (two hit-parade series, a saint without a day,
// notes of joined values, search hits, missing properties).
#include "SearchFixture.h"

#include <tuple>

#include "DataBase.h"
#include "Fakes.h"
#include "GenDescr.h"
#include "ListTestSupport.h"
#include "SampleDb.h"
#include "SearchInfo.h"
#include "TextConstants.h"

namespace {

using GenDescr::DescrFlags;
using Lines = std::vector<std::string>;

class DescrTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        SetLanguage(1);
        rs.InitInt();
    }
    void TearDown() override {
        SetLanguage(1);
        SearchTest::TearDown();
    }
    static void SetLanguage(int lang) {
        TextConstants::edition = 1;
        SetTextLanguage(lang);
    }
    atom* Lang(const std::string& name, const std::string& text, const std::string& level) {
        atom* l = db.Member(name, text, "seLanguages");
        db.StrProp(l, "prLevel", level);
        return l;
    }
    // A name of the group, with the group's link back to it (the compiler
    // adds that inverse to the real database).
    atom* Name(const std::string& name, const std::string& text, atom* group) {
        atom* n = db.Name(name, text, group);
        db.AtomProp(group, "prNameVariant", n);
        return n;
    }
    static std::string L(const atom* a) { return "<a>" + std::to_string(a->id()) + "</a>"; }
    static DescrFlags Links() {
        DescrFlags f;
        f.withAtomLinks = true;
        return f;
    }
    Lines All() const { return Texts(rs); }
    // One section: its heading line and the continuation lines after it.
    Lines Section(const std::string& heading) const {
        Lines v;
        bool in = false;
        for (const std::string& l : All()) {
            if (l.rfind(heading + "\t", 0) == 0) in = true;
            else if (in && (l.empty() || l[0] != '\t' || l == "\t" || l.rfind("\t__", 0) == 0)) break;
            if (in) v.push_back(l);
        }
        return v;
    }
    ResultSet rs;
};

TEST_F(DescrTest, HitparadeLineJoinsTheBestOfEverySeries) {
    atom* g = db.Group("gnAnna", "Anna", false);
    atom* anna = Name("naAnna", "Anna", g);
    atom* us = db.Member("psUs", "US yearly", "sePopSeries");
    atom* de = db.Member("psDe", "DE yearly", "sePopSeries");
    std::string pops;
    for (auto [series, year, rank] : {std::tuple{us, "2001", 3}, {de, "2001", 5}, {us, "1999", 7}}) {
        atom* p = db.Member("po" + series->name() + year, "", "sePopularities");
        db.AtomProp(p, "prSubsetOf", series);
        db.StrProp(p, "prFromYear", year);
        db.StrProp(p, "prYears", "1");
        pops += (pops.empty() ? "" : ",") + std::to_string(p->id()) + "/" + std::to_string(rank);
    }
    db.StrProp(anna, "prPop", pops);
    db.Finish();

    GenDescr::DescribeHitparades(anna, rs, Links());
    EXPECT_EQ(All(), Lines{"Hitparades\t" + L(us) + "(2001: 3) , " + L(de) + "(2001: 5)"});
    EXPECT_EQ(rs.atom(0), nullptr);
    rs.Reset();
    GenDescr::DescribeHitparades(anna, rs, DescrFlags{});
    EXPECT_EQ(rs.line(0), "Hitparades\tUS yearly(2001: 3) , DE yearly(2001: 5)");
    rs.Reset();  // a name without hit parades gets no line
    GenDescr::DescribeHitparades(Name("naBea", "Bea", g), rs, Links());
    EXPECT_EQ(rs.numLines(), 0);
}

TEST_F(DescrTest, SaintsWithAndWithoutADay) {
    atom* paul = Name("naPaul", "Paul", db.Group("gnPaul", "Paul", true));
    auto saint = [&](const std::string& name, const std::string& day, const std::string& month) {
        atom* s = db.Member(name, name.substr(2), "seSaints");
        if (!day.empty()) db.StrProp(s, "prDedicDay", day);
        if (!month.empty()) db.StrProp(s, "prDedicMonth", month);
        db.AtomProp(paul, "prSaint", s);
        return s;
    };
    atom* withDay = saint("saPaul", "5", "5");
    atom* noDay = saint("saPaulus", "", "");
    atom* noMonth = saint("saPaolo", "29", "");
    db.Finish();

    EXPECT_EQ(GenDescr::DedicDayStr(withDay), "May 5");
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    // Missing parts are reported and give no day at all, never a day 0.
    EXPECT_EQ(GenDescr::DedicDayStr(noDay), "");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 2u);
    EXPECT_EQ(GenDescr::DedicDayStr(noMonth), "");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);

    GenDescr::DescribeName(paul, rs, DescrFlags{});
    Fakes().TakeAsserts();
    EXPECT_EQ(Section("Saints"), (Lines{"Saints\tPaul (day: May 5)", "\tPaulus", "\tPaolo"}));
    // The saint's own description: every fixed line, "unknown" where the data
    // says nothing, and no day.
    rs.Reset();
    GenDescr::DescribeSaint(noDay, rs, DescrFlags{});
    EXPECT_EQ(Fakes().TakeAsserts().size(), 2u);
    EXPECT_EQ(All(), (Lines{"<em>Name\tPaulus", "Description\t(Paulus)", "Born in\tunknown",
                            "Year of birth\tunknown", "Year of death\tunknown", "Saint's day\t"}));
}

// The saints of a group's names, in the order first met, each once however
// many names share him.
TEST_F(DescrTest, GroupListsEachSaintOnce) {
    atom* g = db.Group("gnJohannes", "Johannes", true);
    atom* john = Name("naJohn", "John", g);
    atom* johann = Name("naJohann", "Johann", g);
    atom* hans = Name("naHans", "Hans", g);
    atom* baptist = db.Member("saBaptist", "John the Baptist", "seSaints");
    atom* apostle = db.Member("saApostle", "John the Apostle", "seSaints");
    atom* nepomuk = db.Member("saNepomuk", "John of Nepomuk", "seSaints");
    for (auto [name, saint] : {std::pair{john, baptist}, {john, apostle}, {johann, baptist}, {johann, nepomuk},
                               {hans, apostle}, {hans, baptist}})
        db.AtomProp(name, "prSaint", saint);
    db.Finish();
    GenDescr::DescribeGroup(g, rs, DescrFlags{});
    Fakes().TakeAsserts();  // the saints have no day
    EXPECT_EQ(Section("Saints"), (Lines{"Saints\tJohn the Baptist", "\tJohn the Apostle", "\tJohn of Nepomuk"}));
}

TEST_F(DescrTest, NameWithoutGroupOrLanguages) {
    atom* loner = db.Add("naLoner", "Loner");
    db.Finish();
    GenDescr::DescribeName(loner, rs, DescrFlags{});
    // No group: it ends after its own sections; no languages: an empty cell.
    EXPECT_EQ(All(), (Lines{"Name\tLoner", "Gender\tfemale", "Languages of use\t"}));
}

TEST_F(DescrTest, JoinedAndSingleSectionsNotesAndFilters) {
    atom* g = db.Group("gnTom", "Tom", true);
    atom* tom = Name("naTom", "Tom", g);
    atom* tim = Name("naTim", "Tim", g);
    atom* ted = Name("naTed", "Ted", g);
    atom* topic = db.Member("toSea", "Sea", "seRealms");
    db.AtomProp(tom, "prRelatedTo", tim, "note");
    db.AtomProp(tom, "prRelatedTo", ted);
    db.AtomProp(tom, "prMemberOf", topic);
    db.AtomProp(tom, "prMemberOf", db.K("seGenNames"));  // not a topic: filtered out
    db.AtomProp(tom, "prDimNameOf", tim);
    db.AtomProp(tom, "prDimNameOf", ted);
    db.Finish();

    GenDescr::DescribeName(tom, rs, DescrFlags{});
    EXPECT_EQ(Section("Is related to"), (Lines{"Is related to\tTim, Ted"}));  // English edition: no note
    EXPECT_EQ(Section("Topics of origin"), (Lines{"Topics of origin\tSea"}));
    EXPECT_EQ(Section("Pet form of"), (Lines{"Pet form of\tTim", "\tTed"}));  // heading once
    TextConstants::edition = 0;
    rs.Reset();
    GenDescr::DescribeName(tom, rs, Links());
    EXPECT_EQ(Section("Is related to"), (Lines{"Is related to\t" + L(tim) + " (note), " + L(ted)}));
    rs.Reset();  // a joined section whose values are all filtered out writes nothing
    GenDescr::DescribeName(tim, rs, DescrFlags{});
    EXPECT_TRUE(Section("Topics of origin").empty());
}

TEST_F(DescrTest, SearchTermsInBoldInCommentsAndWordTranslations) {
    atom* english = Lang("laEnglish", "English", "1");
    atom* g = db.Group("gnMarcus", "Marcus", true);
    atom* origin = db.Member("orMarcus", "Marcus", "seOrigins");
    db.AtomProp(g, "prOrigin", origin);
    atom* word = db.Member("woMars", "Mars", "seWords");
    db.AtomProp(word, "prLang", Lang("laLatin", "Latin", "20"));
    db.StrProp(word, "prEnglish", "god of war");
    db.AtomProp(origin, "prRelatedTo", word);
    db.StrProp(g, "prCommentE", "A name of the war god.");
    db.AtomProp(Name("naMarcus", "Marcus", g), "prLang", english);
    db.Finish();

    searchInfo info;
    info.SetInfo("war", 0);
    DescrFlags f;
    f.markInfo = &info;
    GenDescr::DescribeGroup(g, rs, f);
    EXPECT_EQ(All(), (Lines{"Group\tMarcus", "Words\tMars = god of war", "\tMars = god of <b>war</b>",
                            "Further info\tA name of the <b>war</b> god.", "Variants\tMarcus  ( English)"}));
    EXPECT_EQ(rs.atom(2), word);
    rs.Reset();  // without a search nothing is marked and no second word line is written
    GenDescr::DescribeGroup(g, rs, DescrFlags{});
    EXPECT_EQ(rs.numLines(), 4);
}

TEST_F(DescrTest, VariantLevelsAndTopics) {
    atom* german = Lang("laGerman", "German", "1");
    atom* latin = Lang("laLatin", "Latin", "20");
    atom* topic = db.Member("toSea", "Sea", "seRealms");
    atom* g = db.Group("gnMaria", "Maria", false);
    atom* none = Name("naMia", "Mia", g);  // no language: level 100
    atom* old = Name("naMariam", "Mariam", g);
    db.AtomProp(old, "prLang", latin);
    atom* marie = Name("naMarie", "Marie", g);
    db.AtomProp(marie, "prLang", latin);
    db.AtomProp(marie, "prLang", german);  // the lowest level counts
    db.AtomProp(marie, "prMemberOf", topic);
    atom* maria = Name("naMaria", "Maria", g);  // the group's text: level 0
    db.AtomProp(maria, "prLang", latin);
    db.Finish();

    EXPECT_EQ(GenDescr::CollectVariants(g), (std::vector<atom*>{maria, marie, old, none}));
    GenDescr::DescribeGroup(g, rs, Links());
    EXPECT_EQ(rs.line(2), "\t" + L(marie) + "  ( " + L(latin) + ", " + L(german) + ")  ( " + L(topic) + ")");
    // No language (a user's own name may have none): no empty brackets.
    EXPECT_EQ(rs.line(4), "\t" + L(none));
}

}  // namespace
