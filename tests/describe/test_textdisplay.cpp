// The RTF the rich-text builder writes: the exact document, its colour table,
// dot leaders, the inline tag language, and a list drawn into a document.
#include <gtest/gtest.h>

#include <cstdio>

#include <map>
#include <string>

#include "Cp1252.h"
#include "Fakes.h"
#include "ListTestSupport.h"
#include "Options.h"
#include "ResultRender.h"
#include "GoldenRtf.h"
#include "TextDisplay.h"

namespace {

using golden::kGreen;
using golden::kGrey;
using golden::kRed;
const std::string kNl = "\r\n";
const std::string kHeader =
    R"({\rtf1\ansi\ansicpg1252\deff0\deflang2055{\fonttbl {\f0\fswiss\fprq2\fcharset0 Arial;}})" + kNl;
const std::string kPara = R"(\uc1\pard\fi-2778\li2778\tx2778\ulnone\f0\fs18 )";
const std::string kEnd = R"(\pard\par)" + kNl + "}" + kNl;

// A few atoms for the link tags, and the environment restored after each test.
class TextDisplayTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = TextDisplay::Env();
        atoms_["naAnna"] = {"Anna", 17, kRed, false, true};
        atoms_["gaAnna"] = {"Anna", 18, kGreen, true, true};
        atoms_["naBare"] = {"Bare", 19, kRed, false, false};  // no description: not shown
        TextDisplay::Env().findAtom = [this](const std::string& name) {
            auto it = atoms_.find(name);
            return it != atoms_.end() ? it->second : LinkTarget{"(nothing)", 0, 0, false, false};
        };
        TextDisplay::Env().widthsNormal = nullptr;
        TextDisplay::Env().widthsBold = nullptr;
        td.Init("Test", nullptr, nullptr);
        td.SetTabPos(49);  // the English heading column, whatever the text language
    }
    void TearDown() override { TextDisplay::Env() = saved_; }

    // The body of one paragraph written by f, without the paragraph's start.
    template <class F>
    std::string Body(F f) {
        td.BeginText();
        td.BeginPara();
        std::size_t start = td.GetStr().size();
        f();
        return td.GetStr().substr(start);
    }

    TextDisplay td;
    std::map<std::string, LinkTarget> atoms_;
    TextDisplay::Environment saved_;
};

TEST_F(TextDisplayTest, GoldenDocument) {
    golden::Build(td);

    const std::string expected =
        kHeader +
        R"({\colortbl ;\red255\green0\blue0;\red255\green255\blue255;\red0\green128\blue0;\red192\green192\blue192;})" +
        kNl + kPara + R"(\b1 Name\b0 \tab a\\b \{c\} R\'E9\par)" + kNl + kPara +
        R"(\cf1 \ul1 O'Brien\'A0Anna\ul0 \cf0 \cf2 \fs0 #17\fs18 \cf0 , )" +
        R"(\cf3 \cb4 \ul1 Zo\'EB\ul0 \cf0 \cb0 \cf2 \fs0 #4711\fs18 \cf0 \par)" + kNl + kEnd;
    EXPECT_EQ(td.GetStr(), expected);
    EXPECT_EQ(td.colourCount(), 4);
}

// Any bytes: what a byte-by-byte escape gives (control bytes but TAB left
// out, "\\", "{", "}" escaped, the upper half as "\'hh").
TEST_F(TextDisplayTest, EveryByteIsWrittenAsTheEscapeOfEachByteGives) {
    auto escaped = [](const std::string& s) {
        std::string out;
        char hex[8];
        for (char ch : s) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x20 && c != '\t') continue;
            if (c == '\\' || c == '{' || c == '}') out += std::string("\\") + ch;
            else if (c >= 128) std::snprintf(hex, sizeof hex, "\\'%02X", c), out += hex;
            else out += ch;
        }
        return out;
    };
    uint32_t seed = 11;
    for (int k = 0; k < 3000; ++k) {
        std::string s(static_cast<size_t>(k % 40), ' ');
        for (char& c : s) {
            seed = seed * 1103515245u + 12345u;
            // Mostly plain letters, so that runs of them meet every kind of byte.
            const uint32_t r = (seed >> 16) % 512;
            c = static_cast<char>(r < 256 ? 'a' + r % 26 : r - 256);
        }
        ASSERT_EQ(Body([&] { td.AddStr(s); }), escaped(s)) << k;
    }
}

TEST_F(TextDisplayTest, ControlBytesOfAListLineAreLeftOutButTabs) {
    // A list file may hold any byte: raw in the RTF a NUL would cut an
    // exported file short, and no control byte is ever shown.
    EXPECT_EQ(Body([&] { td.AddStr(std::string("a\0b\x01\tc\r\nd\x1F\x7F", 11)); }), "ab\tcd\x7F");
    EXPECT_EQ(Body([&] { td.AddNumLink(std::string("A\0n", 3), 5, kRed, kNoBackColour); }),
              R"(\cf1 \ul1 An\ul0 \cf0 \cf2 \fs0 #5\fs18 \cf0 )");
}

TEST_F(TextDisplayTest, ColourTableFollowsFontTableInLongDocuments) {
    td.BeginText();
    for (int i = 0; i < 600; ++i) {
        td.BeginPara();
        td.AddNumLink("Name number " + std::to_string(i), i, i % 2 ? kRed : kGreen, kNoBackColour);
        td.EndPara();
    }
    td.EndText();
    const std::string& doc = td.GetStr();
    ASSERT_GT(doc.size(), 20000u);
    const std::string table =
        R"({\colortbl ;\red0\green128\blue0;\red255\green255\blue255;\red255\green0\blue0;})" + kNl;
    EXPECT_EQ(doc.substr(kHeader.size(), table.size()), table);
    EXPECT_EQ(doc.find("colortbl", kHeader.size() + table.size()), std::string::npos);
    EXPECT_EQ(doc.substr(doc.size() - kEnd.size() - 21), R"(#599\fs18 \cf0 \par)" + kNl + kEnd);
    EXPECT_EQ(Fakes().events.count, 0);  // no pending events run while a document is half built
}

TEST_F(TextDisplayTest, ColoursKeepTheirNumbersAcrossDocumentsAndManyGetTheirOwn) {
    td.BeginText();
    td.BeginPara();
    td.BeginColor(kGreen);
    td.EndColor();
    td.EndText();
    EXPECT_NE(td.GetStr().find(R"({\colortbl ;\red0\green128\blue0;})"), std::string::npos);
    td.BeginText();
    td.BeginPara();
    td.BeginColor(kRed);
    td.BeginBackColor(kGreen);
    td.EndText();
    EXPECT_NE(td.GetStr().find(R"({\colortbl ;\red0\green128\blue0;\red255\green0\blue0;})"), std::string::npos);
    EXPECT_NE(td.GetStr().find(R"(\cf2 \cb1 )"), std::string::npos);

    td.Init("Test", nullptr, nullptr);
    td.BeginText();
    td.BeginPara();
    auto colour = [](uint32_t i) { return (i % 256) | ((i / 256) << 8) | (7u << 16); };
    for (uint32_t i = 0; i < 300; ++i) td.BeginColor(colour(i));
    td.BeginColor(colour(5));
    td.EndPara();
    td.EndText();
    EXPECT_EQ(td.colourCount(), 300);
    EXPECT_NE(td.GetStr().find(R"(\cf300 \cf6 \par)"), std::string::npos);
    EXPECT_NE(td.GetStr().find(R"(;\red43\green1\blue7;})"), std::string::npos);
    // A system colour with bits above blue keeps only its three bytes.
    EXPECT_EQ(td.ColourNumber(0x8000000F), td.ColourNumber(0x0F));
}

TEST_F(TextDisplayTest, DotLeadersFillUpToTheTabStop) {
    auto widths = [](int all, int blank) {
        CharWidths w;
        w.fill(all);
        w[' '] = w['.'] = w[160] = blank;
        return w;
    };
    const CharWidths normal = widths(10, 3), bold = widths(12, 4);  // " ." is 6 and 8 pixels
    struct Case {
        const char* what;
        double tabMm;
        bool bold, link;
        std::string text;
        int dots;
    };
    const Case cases[] = {
        // 2778 twips = 185 pixels; 185 - 30 - 4 = 151 -> 25 pairs
        {"normal", 49, false, false, "AAA", 25},
        {"bold", 49, true, false, "AAA", (185 - 36 - 4) / 8},
        {"link adds its marker", 49, false, true, "AA", (185 - (20 + 3 + 3) - 4) / 6},
        {"too wide", 10, false, false, std::string(20, 'A'), 0},
        {"nothing written", 49, false, false, "", 0},
        {"no width tables", 49, false, false, "AAA", 0},
    };
    for (const Case& c : cases) {
        const bool tables = std::string(c.what) != "no width tables";
        TextDisplay::Env().widthsNormal = tables ? &normal : nullptr;
        TextDisplay::Env().widthsBold = tables ? &bold : nullptr;
        td.SetTabPos(c.tabMm);
        const std::string body = Body([&] {
            if (c.bold) td.BeginBold();
            td.BeginExpand();
            if (c.link) td.AddNumLink(c.text, 7, kRed, kNoBackColour);
            else td.AddStr(c.text);
            EXPECT_EQ(td.DotCount(), c.dots) << c.what;
            td.EndExpand();
        });
        std::string dots;
        for (int i = 0; i < c.dots; ++i) dots += " .";
        EXPECT_EQ(body.substr(body.size() - dots.size()), dots) << c.what;
        EXPECT_EQ(body.find(" . ."), c.dots > 1 ? body.size() - dots.size() : std::string::npos) << c.what;
    }
    EXPECT_EQ(td.tabPosTwips(), 2778);
}

TEST_F(TextDisplayTest, DotLeadersMeasureTheProgramsTablesOnceWhenFirstNeeded) {
    const LowLevel::CharWidthTable saved = LowLevel::charWidthArial;
    int measured = 0;
    LowLevel::SetCharWidthMeasurer([&] {
        ++measured;
        LowLevel::charWidthArial.fill(10);
        LowLevel::charWidthArial[' '] = LowLevel::charWidthArial['.'] = 3;
        LowLevel::EnsureCharWidths();  // a measurer that reads the tables does not run again
    });
    TextDisplay::Env().widthsNormal = &LowLevel::charWidthArial;
    td.SetTabPos(49);
    Body([&] { td.AddStr("Plain text measures nothing"); });
    EXPECT_EQ(measured, 0);
    for (int i = 0; i < 2; ++i)
        Body([&] {
            td.BeginExpand();
            td.AddStr("AAA");
            EXPECT_EQ(td.DotCount(), 25);  // as with the tables measured up front
            td.EndExpand();
        });
    EXPECT_EQ(measured, 1);
    LowLevel::charWidthArial = saved;
}

TEST_F(TextDisplayTest, TagsRenderAsRtf) {
    const std::string link17 = R"(\cf1 \ul1 Anna\ul0 \cf0 \cf2 \fs0 #17\fs18 \cf0 )";
    struct Case {
        const char* what;
        std::string input;
        bool links;
        std::string rtf;
    };
    const std::vector<Case> cases = {
        {"plain", "a {b}", true, R"(a \{b\})"},
        {"bold, case-blind", "x<B>y</b>z", true, R"(x\b1 y\b0 z)"},
        {"line break", "a<br>b", true, "a\\par" + kNl + kPara + "b"},
        {"spacer", "a<Small>b", true,
         "a\\par" + kNl + R"(\uc1\pard\fi-2778\li2778\tx2778\ulnone\f0\fs3 \par)" + kNl + kPara + "b"},
        {"link keeps its blank", "see <a>naAnna</a> now", true, "see " + link17 + " now"},
        {"digit after a link stays apart", "<a>naAnna</a>1", true, link17 + "1"},
        {"group link is bold", "<a>gaAnna</a>", true, R"(\b1 \cf3 \ul1 Anna\ul0 \cf0 \cf2 \fs0 #18\fs18 \cf0 \b0 )"},
        {"links off", "<a>naAnna</a> x", false, R"(\b1 Anna\b0  x)"},
        {"not shown, label", "<a>naBare/Bear</a>", true, R"(\b1 Bear\b0 )"},
        {"unknown, label", "<a>naNobody/Label</a>", true, R"(\b1 Label\b0 )"},
        {"unknown, no label", "<a>naNobody</a>", true, R"(\b1 Nobody\b0 )"},
        {"short unknown name", "<a>n</a>", true, R"(\b1 \b0 )"},
        {"unclosed tag is text", "a < b", true, "a < b"},
        {"unclosed link is text", "x <a>naAnna", true, "x <a>naAnna"},
        {"upper-case closing link is no closing", "<a>naAnna</A>", true, "<a>naAnna</A>"},
        {"accent escaped", "\xE9<b>", true, R"(\'E9\b1 )"},
        {"unknown tags are dropped", "a<em>b<x y>c", true, "abc"},
    };
    for (const Case& c : cases) {
        td.Init("Test", nullptr, nullptr);
        td.SetTabPos(49);
        // Colour numbers as in a fresh object: red 1, white 2, green 3.
        td.ColourNumber(kRed);
        td.ColourNumber(TextDisplay::kWhite);
        td.ColourNumber(kGreen);
        EXPECT_EQ(Body([&] { td.AddStrWithMarks(c.input, c.links); }), c.rtf) << c.what;
    }
    EXPECT_EQ(Fakes().TakeAsserts(), (std::vector<std::string>{"*** Assert: *** AddStrWithMarks EM",
                                                                "*** Assert: *** AddStrWithMarks X Y"}));
}

// --- Pane and owner -------------------------------------------------------------

struct RecordingBox : RichTextBox {
    void ShowRtf(const std::string&) override { ++shown; }
    void Resize(double, double) override { ++sizes; }
    void SetToolTipText(const std::string&) override {}
    void BindEvents(RichTextEvents* e) override { events = e; }
    int shown = 0, sizes = 0;
    RichTextEvents* events = nullptr;
};

struct RecordingOwner : LinkOwner {
    void Notify(int16_t code, const std::string& text) override { got.push_back(std::to_string(code) + text); }
    std::vector<std::string> got;
};

TEST_F(TextDisplayTest, InactivePaneKeepsItsBoxButIgnoresEvents) {
    RecordingBox box;
    RecordingOwner owner;
    bool blocked = false;
    TextDisplay::Env().actionBlocked = [&] { return blocked; };
    {
        TextDisplay d;
        d.Init("Pane", &box, &owner);
        EXPECT_EQ(box.events, &d);
        d.DisplayText();
        d.LinkClicked("17");
        for (const char* bad : {"", "1x"}) d.LinkClicked(bad);
        blocked = true;
        d.LinkClicked("18");
        blocked = false;
        d.setActive(false);
        d.Resize(0, 5000);  // still sized, though not shown
        d.DisplayText();
        d.LinkClicked("19");
        d.setActive(true);
        d.setWithLinks(false);
        d.LinkClicked("20");
    }
    EXPECT_EQ(box.events, nullptr);  // unbound when the builder goes
    EXPECT_EQ(box.shown, 1);
    EXPECT_EQ(box.sizes, 1);
    EXPECT_EQ(owner.got, std::vector<std::string>{"017"});

    td.Init("Pane", &box, nullptr);  // a box going first is forgotten
    td.BoxLost(&box);
    EXPECT_EQ(td.box(), nullptr);
    td.Resize(100, 100);
    td.DisplayText();
    EXPECT_EQ(box.sizes + box.shown, 2);
}

// --- a list drawn into a document ---------------------------------------------

TEST_F(TextDisplayTest, AListDrawnWithLinksOrLiterally) {
    Options::InitColors();
    CharWidths widths;
    widths.fill(5);
    TextDisplay::Env().widthsNormal = TextDisplay::Env().widthsBold = &widths;
    TestAtoms db;
    atom* anna = db.Make("naAnna", 1, "Anna");
    ResultSet rs;
    rs.AddResult("see <a>" + std::to_string(anna->id()) + "</a>\t<b>x</b> <a>40003</a>", "", anna);
    ResultRender::BuildDocument(rs, td, nullptr, Options::OptColor);
    EXPECT_NE(td.GetStr().find("see <a>"), std::string::npos);  // neither links nor colours: as written
    EXPECT_EQ(td.GetStr().find("#40003"), std::string::npos);

    rs.showLinks();
    RecordingProgress progress;
    ResultRender::BuildDocument(rs, td, &progress, Options::OptColor);
    for (const std::string& part : std::vector<std::string>{"\\ul1 Anna\\ul0 ", "#" + std::to_string(anna->id()),
                                                            "\\b1 x\\b0 ", "\\b1 \\cf", "(?)", "#40003"})
        EXPECT_NE(td.GetStr().find(part), std::string::npos) << part << " in " << td.GetStr();
    EXPECT_EQ(progress.values, std::vector<int>{1});
}

}  // namespace
