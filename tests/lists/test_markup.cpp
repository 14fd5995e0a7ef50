// The line mark-up read into runs: prefixes, columns, links and help marks,
// bold (also around links), colours, list-view cell tags, and mark-up that
// cannot be honoured (unclosed tags, ids outside the atom table).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fakes.h"
#include "LineMarkup.h"
#include "ListTestSupport.h"
#include "Options.h"

using MRun = Markup::Run;
using Type = Markup::Run::Type;

namespace {

class MarkupTest : public testing::Test {
protected:
    void SetUp() override {
        Options::InitColors();
        anna = atoms.Make("naAnna", 1, "Anna");
        group = atoms.Make("gnAnna", 3, "ANNA");
        origin = atoms.Make("orLatin", 5, "Latin origin");
        other = atoms.Make("xxThing", 99, "Thing");
        word = atoms.Make("woRose", 7, "Rose");
    }
    Markup::InlineOptions Links(bool links = true, bool colours = false) const {
        Markup::InlineOptions o;
        o.showLinks = links;
        o.showColor = colours;
        o.colours = Options::OptColor;
        return o;
    }
    static std::string Id(const atom* a) { return std::to_string(a->id()); }
    static MRun Plain(const std::string& text, bool bold = false) {
        MRun r;
        r.text = text;
        r.bold = bold;
        return r;
    }
    MRun LinkTo(const atom* a, uint32_t colour, bool bold = false) const {
        MRun r;
        r.type = Type::Link;
        r.text = a->Text();
        r.bold = bold;
        r.hasColour = true;
        r.colour = colour;
        r.number = a->id();
        r.target = a;
        return r;
    }

    TestAtoms atoms;
    atom *anna = nullptr, *group = nullptr, *origin = nullptr, *other = nullptr, *word = nullptr;
};

TEST(MarkupLine, PrefixesInTheirOrderOnly) {
    struct Case {
        const char* line;
        bool small, indent, em;
        const char* rest;
    };
    const Case cases[] = {
        {"<small><indent>x", true, true, false, "x"},
        {"<indent><small>x", false, true, false, "<small>x"},  // out of order: text
        {"<SMALL><Indent><em>Head", true, true, true, "Head"},
        {"<em>", false, false, true, ""},
        {"plain <em>", false, false, false, "plain <em>"},
        {"<smal>x", false, false, false, "<smal>x"},
    };
    for (const Case& c : cases) {
        const Markup::LinePrefixes p = Markup::TakePrefixes(c.line);
        EXPECT_EQ(p.small, c.small) << c.line;
        EXPECT_EQ(p.indent, c.indent) << c.line;
        EXPECT_EQ(p.em, c.em) << c.line;
        EXPECT_EQ(p.rest, c.rest) << c.line;
    }
}

TEST(MarkupLine, Columns) {
    const Markup::TwoColumns two = Markup::SplitAtTab("a\tb\tc");
    EXPECT_TRUE(two.hasTab);
    EXPECT_EQ(two.col1, "a");
    EXPECT_EQ(two.col2, "b\tc");
    EXPECT_FALSE(Markup::SplitAtTab("a").hasTab);
    EXPECT_EQ(Markup::SplitColumns("a\t\tc\t"), (std::vector<std::string_view>{"a", "", "c", ""}));
    EXPECT_EQ(Markup::SplitColumns(""), (std::vector<std::string_view>{""}));
}

TEST_F(MarkupTest, WithoutLinksOrColoursTheColumnIsLiteral) {
    const std::string text = "see <a>" + Id(anna) + "</a> <b>x</b>";
    EXPECT_EQ(Markup::ParseInline(text, Links(false, false)), std::vector<MRun>{Plain(text)});
}

TEST_F(MarkupTest, TextLinkTextBoldInOrder) {
    const auto runs = Markup::ParseInline("see <a>" + Id(anna) + "</a> and <B>bold</b>!", Links());
    const std::vector<MRun> want = {Plain("see "), LinkTo(anna, Options::OptColor[0]), Plain(" and "),
                                   Plain("bold", true), Plain("!")};
    EXPECT_EQ(runs, want);
}

TEST_F(MarkupTest, GroupsAreBoldAndLinksNestInBold) {
    EXPECT_EQ(Markup::ParseInline("<a>" + Id(group) + "</a>", Links()),
              std::vector<MRun>{LinkTo(group, Options::OptColor[0], true)});
    const auto runs = Markup::ParseInline("<b>see <A>" + Id(word) + "</A> now</b>", Links());
    EXPECT_EQ(runs, (std::vector<MRun>{Plain("see ", true), LinkTo(word, Options::OptColor[3], true),
                                      Plain(" now", true)}));
    // A second <b> inside bold text is text; the bold ends at the first </b>.
    EXPECT_EQ(Markup::ParseInline("<b>a<b>c</b>d</b>", Links()),
              (std::vector<MRun>{Plain("a<b>c", true), Plain("d</b>")}));
}

TEST_F(MarkupTest, AtomsAsTextWhenLinksAreOffOrForTheListsOwnAtom) {
    MRun text;
    text.type = Type::AtomText;
    text.text = "Anna";
    text.number = anna->id();
    text.target = anna;
    text.hasColour = true;
    text.colour = Options::OptColor[0];
    // Colours only: the atom's text in its colour, then one blank.
    EXPECT_EQ(Markup::ParseInline("<a>" + Id(anna) + "</a>x", Links(false, true)),
              (std::vector<MRun>{text, Plain(" x")}));

    Markup::InlineOptions self = Links(true, false);
    self.selfAtom = anna;
    text.hasColour = false;
    text.colour = 0;
    EXPECT_EQ(Markup::ParseInline("<a>" + Id(anna) + "</a>", self), (std::vector<MRun>{text, Plain(" ")}));
    self.showSelfLinks = true;
    EXPECT_EQ(Markup::ParseInline("<a>" + Id(anna) + "</a>", self),
              std::vector<MRun>{LinkTo(anna, Options::OptColor[0])});
}

TEST_F(MarkupTest, HelpMarksWheneverMarkupIsRead) {
    MRun mark;
    mark.type = Type::HelpMark;
    mark.text = "(?)";
    mark.bold = true;
    mark.hasColour = true;
    mark.colour = Options::RGB(255, 204, 0);
    mark.number = 40007;
    EXPECT_EQ(Markup::ParseInline("<a>40007</a>", Links(true, false)), std::vector<MRun>{mark});
    EXPECT_EQ(Markup::ParseInline("<a>40007</a>", Links(false, true)), std::vector<MRun>{mark});
}

TEST_F(MarkupTest, OriginEntriesAndOtherAtomsAreLinksInALinkColour) {
    const uint32_t linkColour = Options::OptColor[4];
    ASSERT_NE(linkColour, 0u);
    EXPECT_EQ(Markup::ParseInline("<a>" + Id(origin) + "</a>", Links()),
              std::vector<MRun>{LinkTo(origin, linkColour)});
    EXPECT_EQ(Markup::ParseInline("<a>" + Id(other) + "</a>", Links()),
              std::vector<MRun>{LinkTo(other, linkColour)});
}

TEST_F(MarkupTest, IdsThatNameNoAtomStayText) {
    atom* gone = atoms.Make("naGone", 0, "Gone");
    const std::string goneTag = "<a>" + Id(gone) + "</a>";
    DataBase::DeleteAtom(gone);
    const std::string tags[] = {"<a>" + std::to_string(DataBase::numAtoms) + "</a>",
                                "<a>39999</a>",
                                "<a>-3</a>",
                                "<a>abc</a>",
                                "<a>99999999999</a>",
                                goneTag};
    for (const std::string& tag : tags) {
        const std::string text = "x " + tag + " y";
        EXPECT_EQ(Markup::ParseInline(text, Links(true, true)), std::vector<MRun>{Plain(text)}) << tag;
    }
}

TEST_F(MarkupTest, UnclosedTagsSendTheRestOutLiterally) {
    const std::string id = Id(anna);
    struct Case {
        std::string text;
        std::vector<MRun> want;
    };
    const Case cases[] = {
        {"x <a>" + id + " <b>b</b>", {Plain("x <a>" + id + " <b>b</b>")}},
        {"x <b>bold <a>" + id + "</a>", {Plain("x <b>bold <a>" + id + "</a>")}},
        {"<b>y</b> <a>" + id, {Plain("y", true), Plain(" <a>" + id)}},
        {"<b>a <a>" + id + "</b>", {Plain("a <a>" + id, true)}},
        {"a < b > c", {Plain("a < b > c")}},
    };
    for (const Case& c : cases) EXPECT_EQ(Markup::ParseInline(c.text, Links()), c.want) << c.text;
}

TEST_F(MarkupTest, CellTags) {
    struct Case {
        std::string cell;
        std::string text;
        bool bold;
        bool hasColour;
        uint32_t colour;
        const atom* link;
    };
    const std::string g = Id(group);
    const Case cases[] = {
        {"plain", "plain", false, false, 0, nullptr},
        {"pre<a>" + Id(anna) + "</a>Anna", "Anna", false, true, Options::OptColor[0], anna},
        {"<a>" + g + "</a>ANNA", "ANNA", true, true, Options::OptColor[0], group},
        {"<c>255</c>red", "red", false, true, 255, nullptr},
        {"<C>16711680</C><b>blue</B>", "blue", true, true, 0xFF0000, nullptr},
        {"<b>Anna</b> (3)", "Anna (3)", true, false, 0, nullptr},
        // What names nothing or is not closed stays as written.
        {"<b>open", "<b>open", false, false, 0, nullptr},
        {"<c>12", "<c>12", false, false, 0, nullptr},
        {"<c>-1</c>x", "<c>-1</c>x", false, false, 0, nullptr},
        {"<c>99999999</c>x", "<c>99999999</c>x", false, false, 0, nullptr},
        {"<a>39000</a>x", "<a>39000</a>x", false, false, 0, nullptr},
        {"<a>" + g, "<a>" + g, false, false, 0, nullptr},
    };
    for (const Case& c : cases) {
        const Markup::CellFormat f = Markup::ParseCell(c.cell, Options::OptColor);
        EXPECT_EQ(f.text, c.text) << c.cell;
        EXPECT_EQ(f.bold, c.bold) << c.cell;
        EXPECT_EQ(f.hasColour, c.hasColour) << c.cell;
        if (c.hasColour) {
            EXPECT_EQ(f.colour, c.colour) << c.cell;
        }
        EXPECT_EQ(f.linkAtom, c.link) << c.cell;
    }
}

}  // namespace
