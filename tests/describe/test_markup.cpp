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

namespace {

using Type = Markup::Run::Type;

// Runs written compactly: [kind *bold c<colour> #number text], with the
// colours of the options as c0..c4 and the help-mark colour as "help".
std::string Describe(const std::vector<Markup::Run>& runs) {
    std::string out;
    for (const auto& r : runs) {
        out += "[";
        if (r.type == Type::Link) out += "link ";
        if (r.type == Type::AtomText) out += "atom ";
        if (r.type == Type::HelpMark) out += "help ";
        if (r.bold) out += "*";
        if (r.hasColour) {
            std::string name = r.colour == Markup::kHelpMarkColour ? "help" : std::to_string(r.colour);
            for (int i = 0; i < 5; ++i)
                if (r.colour == Options::OptColor[i]) name = std::to_string(i);
            out += "c" + name + " ";
        }
        if (r.number >= 0) out += "#" + std::to_string(r.number) + " ";
        if (r.target != nullptr && r.target->id() != r.number) out += "(wrong target) ";
        out += r.text + "]";
    }
    return out;
}

TEST(MarkupLine, PrefixesInTheirOrderOnlyAndColumns) {
    // small, indent, em, then the rest; out of order a prefix is text.
    const std::pair<const char*, const char*> cases[] = {
        {"<small><indent>x", "SI-x"},   {"<indent><small>x", "-I-<small>x"}, {"<SMALL><Indent><em>Head", "SIEHead"},
        {"<em>", "--E"},                {"plain <em>", "---plain <em>"},    {"<smal>x", "---<smal>x"},
    };
    for (const auto& [line, want] : cases) {
        const Markup::LinePrefixes p = Markup::TakePrefixes(line);
        EXPECT_EQ(std::string(p.small ? "S" : "-") + (p.indent ? "I" : "-") + (p.em ? "E" : "-") + std::string(p.rest),
                  want);
    }
    const Markup::TwoColumns two = Markup::SplitAtTab("a\tb\tc");
    EXPECT_TRUE(two.hasTab);
    EXPECT_EQ(two.col2, "b\tc");
    EXPECT_FALSE(Markup::SplitAtTab("a").hasTab);
    EXPECT_EQ(Markup::SplitColumns("a\t\tc\t"), (std::vector<std::string_view>{"a", "", "c", ""}));
}

TEST(MarkupInline, EveryTagUnclosedTagsAndIdsOutsideTheTable) {
    Options::InitColors();
    TestAtoms atoms;
    atom* anna = atoms.Make("naAnna", 1, "Anna");
    atom* group = atoms.Make("gnAnna", 3, "ANNA");
    atom* origin = atoms.Make("orLatin", 5, "Latin origin");
    atom* other = atoms.Make("xxThing", 99, "Thing");
    atom* word = atoms.Make("woRose", 7, "Rose");
    atom* gone = atoms.Make("naGone", 0, "Gone");
    auto tag = [](const atom* a) { return "<a>" + std::to_string(a->id()) + "</a>"; };
    const std::string goneTag = tag(gone);
    DataBase::DeleteAtom(gone);
    const std::string a = std::to_string(anna->id()), g = std::to_string(group->id());
    const std::string w = std::to_string(word->id()), o = std::to_string(origin->id());
    const std::string t = std::to_string(other->id());

    enum Mode { Plain, Links, Colours, Self, SelfLinks };
    struct Case {
        Mode mode;
        std::string text, runs;
    };
    const std::vector<Case> cases = {
        // Neither links nor colours: the column as written.
        {Plain, "see " + tag(anna) + " <b>x</b>", "[see " + tag(anna) + " <b>x</b>]"},
        {Links, "see " + tag(anna) + " and <B>bold</b>!", "[see ][link c0 #" + a + " Anna][ and ][*bold][!]"},
        {Links, tag(group), "[link *c0 #" + g + " ANNA]"},  // groups are bold
        {Links, "<b>see <A>" + w + "</A> now</b>", "[*see ][link *c3 #" + w + " Rose][* now]"},
        {Links, "<b>a<b>c</b>d</b>", "[*a<b>c][d</b>]"},  // bold ends at the first </b>
        {Links, tag(origin) + tag(other), "[link c4 #" + o + " Latin origin][link c4 #" + t + " Thing]"},
        // Colours only: the atom's text in its colour, then one blank.
        {Colours, tag(anna) + "x", "[atom c0 #" + a + " Anna][ x]"},
        // The list's own atom is text, unless its links are wanted.
        {Self, tag(anna), "[atom #" + a + " Anna][ ]"},
        {SelfLinks, tag(anna), "[link c0 #" + a + " Anna]"},
        // Help marks whenever mark-up is read.
        {Links, "<a>40007</a>", "[help *chelp #40007 (?)]"},
        {Colours, "<a>40007</a>", "[help *chelp #40007 (?)]"},
        // Unclosed tags send the rest out literally.
        {Links, "x <a>" + a + " <b>b</b>", "[x <a>" + a + " <b>b</b>]"},
        {Links, "x <b>bold " + tag(anna), "[x <b>bold " + tag(anna) + "]"},
        {Links, "<b>y</b> <a>" + a, "[*y][ <a>" + a + "]"},
        {Links, "<b>a <a>" + a + "</b>", "[*a <a>" + a + "]"},
        {Links, "a < b > c", "[a < b > c]"},
    };
    for (const Case& c : cases) {
        Markup::InlineOptions opt;
        opt.showLinks = c.mode != Colours && c.mode != Plain;
        opt.showColor = c.mode == Colours;
        opt.colours = Options::OptColor;
        if (c.mode == Self || c.mode == SelfLinks) opt.selfAtom = anna;
        opt.showSelfLinks = c.mode == SelfLinks;
        EXPECT_EQ(Describe(Markup::ParseInline(c.text, opt)), c.runs) << c.text;
    }
    // Ids that name no atom stay text.
    Markup::InlineOptions both;
    both.showLinks = both.showColor = true;
    both.colours = Options::OptColor;
    for (const std::string& id : {std::to_string(DataBase::numAtoms), std::string("39999"), std::string("-3"),
                                  std::string("abc"), std::string("99999999999"), std::string("1x")}) {
        const std::string text = "x <a>" + id + "</a> y";
        EXPECT_EQ(Describe(Markup::ParseInline(text, both)), "[" + text + "]") << id;
    }
    EXPECT_EQ(Describe(Markup::ParseInline(goneTag, both)), "[" + goneTag + "]");
}

TEST(MarkupCell, CellTags) {
    Options::InitColors();
    TestAtoms atoms;
    atom* anna = atoms.Make("naAnna", 1, "Anna");
    atom* group = atoms.Make("gnAnna", 3, "ANNA");
    const std::string a = std::to_string(anna->id()), g = std::to_string(group->id());
    const std::string c0 = std::to_string(Options::OptColor[0]);
    // Written as text|b(old)|colour|link.
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain|||"},
        {"pre<a>" + a + "</a>Anna", "Anna||" + c0 + "|naAnna"},
        {"<a>" + g + "</a>ANNA", "ANNA|b|" + c0 + "|gnAnna"},
        {"<c>255</c>red", "red||255|"},
        {"<C>16711680</C><b>blue</B>", "blue|b|16711680|"},
        {"<b>Anna</b> (3)", "Anna (3)|b||"},
        // What names nothing or is not closed stays as written.
        {"<b>open", "<b>open|||"},
        {"<c>12", "<c>12|||"},
        {"<c>-1</c>x", "<c>-1</c>x|||"},
        {"<c>99999999</c>x", "<c>99999999</c>x|||"},
        {"<a>39000</a>x", "<a>39000</a>x|||"},
        {"<a>" + g, "<a>" + g + "|||"},
    };
    for (const auto& [cell, want] : cases) {
        const Markup::CellFormat f = Markup::ParseCell(cell, Options::OptColor);
        EXPECT_EQ(f.text + "|" + (f.bold ? "b" : "") + "|" + (f.hasColour ? std::to_string(f.colour) : "") + "|" +
                      (f.linkAtom ? f.linkAtom->name() : ""),
                  want);
    }
}

}  // namespace
