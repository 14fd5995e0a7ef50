// Descriptions of names, groups, origins, words and saints from the sample
// database, read from the file the build compiles, as the program reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GenDescr.h"
#include "ListTestSupport.h"
#include "SampleDb.h"

namespace {

using GenDescr::DescrFlags;
using Lines = std::vector<std::string>;

DescrFlags Flags(bool links, bool help, bool rich) {
    DescrFlags f;
    f.withAtomLinks = links;
    f.withHelpLinks = help;
    f.richText = rich;
    return f;
}

class SampleDescr : public SampleDbTest {
protected:
    void SetUp() override {
        SampleDbTest::SetUp();
        rs.InitInt();
    }
    static std::string L(const std::string& name) { return "<a>" + std::to_string(A(name)->id()) + "</a>"; }
    Lines All() const { return Texts(rs); }
    Lines Slice(int32_t first, int32_t n) const {
        Lines v;
        for (int32_t i = first; i < first + n && i < rs.numLines(); ++i) v.push_back(rs.line(i));
        return v;
    }
    int32_t Find(const std::string& prefix) const {
        int32_t i = 0;
        while (i < rs.numLines() && rs.line(i).rfind(prefix, 0) != 0) ++i;
        return i;
    }
    ResultSet rs;
};

TEST_F(SampleDescr, NameWithItsGroupInRichTextWithLinksAndHelpMarks) {
    GenDescr::DescribeName(A("naJosef"), rs, Flags(true, true, true));
    const std::string saint = "\t" + L("saJoseph") + " (day: March 19)";
    EXPECT_EQ(Slice(0, 10),
              (Lines{"<em><a>40009</a>Name\t" + L("naJosef"),
                     "<a>40010</a>Gender\tmale",
                     "<a>40011</a>Languages of use\t" + L("laGerman") + ", " + L("laCzech") + ", " + L("laSwedish"),
                     "<a>40019</a>Spelling variant of\t" + L("naJoseph") +
                         " (difference: Jose<b>f</b> / Jose<b>ph</b>)",
                     "<a>40022</a>Short forms\t" + L("naSepp") + ", " + L("naJoe"),
                     "<a>40021</a>Pet forms\t" + L("naJoey"),
                     "<a>40005</a>Saints" + saint,  // once, though Joseph has him too
                     "\t__________________",
                     "\t",
                     "<a>40006</a>Group\t" + L("gnJoseph")}));
    EXPECT_EQ(rs.atom(3), A("naJoseph"));
    EXPECT_EQ(rs.atom(7), nullptr);
    // The group's own part follows: origin spacer, origin block, female form.
    EXPECT_EQ(Slice(10, 7),
              (Lines{"<small>",
                     "<a>40002</a>Language of origin\t" + L("laHebrew"),
                     "<a>40018</a>Meaning/translation\tmay he (God) add",
                     "<a>40017</a>Topics of origin\t" + L("toFaith"),
                     "<a>40001</a>Info about origin\tIn the Old Testament the son of Jacob, in the New "
                     "Testament the husband of Mary.",
                     "<a>40004</a>Old/original forms\tYosef  ( " + L("laHebrew") + ")",
                     "<a>40008</a>Female form\t" + L("gnJosephine")}));
}

TEST_F(SampleDescr, OriginOfAnotherGenderFormSaysWhoseInfoIsWhose) {
    GenDescr::DescribeGroup(A("gnJohanna"), rs, DescrFlags{});
    const int32_t info = Find("Info about origin\t");
    EXPECT_EQ(Slice(info, 4),
              (Lines{"Info about origin\tInfo for Joan itself :",
                     "\t  Female form of John; Jane and Janet arose in English from the Old French Jehanne.",
                     "\tInfo for male form John:",
                     "\t  From the Hebrew name Yohanan, made of a short form of the name of God and the verb "
                     "'to be gracious'. Through John the Baptist and John the Apostle it became one of the "
                     "most common Christian names in Europe."}));
    EXPECT_EQ(rs.atom(info + 2), A("gnJohannes"));
    // In rich text the indented lines carry the prefix instead of the blanks.
    rs.Reset();
    GenDescr::DescribeGroup(A("gnJohanna"), rs, Flags(true, false, true));
    EXPECT_EQ(rs.line(Find("Info about origin\t") + 1).rfind("<indent>\tFemale form of John", 0), 0u);
}

TEST_F(SampleDescr, WordsInAndNotInTheInterfaceLanguage) {
    struct Case {
        const char* word;
        bool links;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"woLaMars", false, "Words\tMars = god of war (\xA0" "Battle and war) ( in 3 groups )"},
        {"woLaMars", true,
         "Words\t" + L("woLaMars") + "= " + L("woEnGodOfWar") + " (\xA0" + L("toBattle") + ") ( in 3 groups )"},
        // An English word in English texts: no "=", its topics without parentheses.
        {"woEnGodOfWar", false, "Words\tgod of war Battle and war"},
        {"woEnGodOfWar", true, "Words\t" + L("woEnGodOfWar") + L("toBattle")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.word) + (c.links ? " links" : " plain"));
        rs.Reset();
        GenDescr::DescribeWord("Words", A(c.word), rs, Flags(c.links, false, true));
        ASSERT_EQ(rs.numLines(), 1);
        EXPECT_EQ(rs.line(0), c.expected);
        EXPECT_EQ(rs.atom(0), A(c.word));
    }
}

TEST_F(SampleDescr, SaintInBothTextLanguages) {
    GenDescr::DescribeSaint(A("saJoseph"), rs, Flags(true, false, false));
    EXPECT_EQ(All(), (Lines{"<em>Name\tJoseph of Nazareth",
                            "Description\tCarpenter in Nazareth, husband of Mary and foster father of Jesus.",
                            "Born in\tunknown", "Year of birth\tunknown", "Year of death\tunknown",
                            "Saint's day\tMarch 19", "Corresponding name\t" + L("naJosef")}));
    EXPECT_EQ(rs.atom(6), A("naJosef"));
    // German texts: German headings and day, and the farmers' rule.
    SetTextLanguage(0);
    rs.Reset();
    GenDescr::DescribeSaint(A("saJoseph"), rs, DescrFlags{});
    ASSERT_EQ(rs.numLines(), 8);
    EXPECT_EQ(rs.line(5), "Gedenktag\t19. M\xE4rz");
    EXPECT_EQ(rs.line(6), "Bauernregel\tIst's am Josefstag klar, folgt ein fruchtbar Jahr.");
}

TEST_F(SampleDescr, FlagsGiveLinksAndHelpMarksOnlyWhenAskedAndNeverLinger) {
    auto count = [&](const std::string& what) {
        int n = 0;
        for (const std::string& l : All())
            for (size_t p = l.find(what); p != std::string::npos; p = l.find(what, p + 1)) ++n;
        return n;
    };
    struct Case {
        bool links, help;
        bool anyLink, anyHelp;
    };
    for (const Case& c : {Case{false, false, false, false}, Case{true, false, true, false},
                          Case{false, true, true, true}, Case{true, true, true, true}}) {
        SCOPED_TRACE(std::to_string(c.links) + std::to_string(c.help));
        rs.Reset();
        GenDescr::DescribeName(A("naJoseph"), rs, Flags(c.links, c.help, true));
        EXPECT_EQ(count("<a>") > 0, c.anyLink);
        EXPECT_EQ(count("<a>400") > 0, c.anyHelp);
    }
    // A linked description for a window, then a plain one for an export: the
    // second has no mark-up at all, though nobody cleared anything.
    rs.Reset();
    GenDescr::DescribeGroup(A("gnJoseph"), rs, Flags(true, true, true));
    ResultSet plain;
    plain.InitInt();
    GenDescr::DescribeGroup(A("gnJoseph"), plain, DescrFlags{});
    ASSERT_GT(plain.numLines(), 10);
    for (int32_t i = 0; i < plain.numLines(); ++i) {
        EXPECT_EQ(plain.line(i).find('<'), std::string::npos) << plain.line(i);
    }
    // With help marks on, only headings carry them; continuation lines do not.
    EXPECT_EQ(count("<a>40003</a>"), 1);
    EXPECT_EQ(Fakes().events.count, 0);  // building never lets window events run
}

}  // namespace

// A name's meaning comes in the text language: the German one in German, the
// English one in English, also for the double names and the example group.
TEST_F(SampleDescr, MeaningFollowsTheTextLanguage) {
    struct Case {
        const char* name;
        const char* english;
        const char* german;
    };
    const Case cases[] = {
        {"naAnnaLena", "Anna and Lena", "Anna und Lena"},
        {"naFinn", "a Finn; fair, white", "der Finne; hell, blond"},
        {"naTheo", "gift of God", "Gottesgeschenk"},
        {"naFrancesco", "Frenchman, Frank", "Franzose, Franke"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int lang : {1, 0}) {
            SetTextLanguage(lang);
            rs.Reset();
            GenDescr::DescribeName(A(c.name), rs, DescrFlags{});
            const std::string heading = lang ? "Meaning/translation\t" : "Bedeutung/\xdc" "bersetzung\t";
            const int32_t i = Find(heading);
            ASSERT_LT(i, rs.numLines()) << lang;
            EXPECT_EQ(rs.line(i), heading + (lang ? c.english : c.german));
        }
    }
}
