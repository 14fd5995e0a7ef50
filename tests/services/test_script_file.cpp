// Script files read within their limits, and the one message a damaged one
// gives.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "ScriptFile.h"
#include "TempFolder.h"
#include "TextConstants.h"

TEST(ScriptFile, ReadLinesTakesEveryLineEndAndStopsAtItsLimits) {
    constexpr std::size_t kMax = ScriptFile::kMaxBytes;
    const std::string longLine(kMax - 2, 'x');
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t maxLines;
        std::vector<std::string> lines;
        bool complete;
    };
    const Case cases[] = {
        {"every kind of line end", "a\r\nb\n\nc\rd", 10, {"a", "b", "", "c", "d"}, true},
        {"a last line end makes no empty line", "a\n", 10, {"a"}, true},
        {"an empty file", "", 10, {}, true},
        {"as many lines as asked for", "a\nb\n", 2, {"a", "b"}, true},
        {"more lines than asked for", "a\nb\nc", 2, {"a", "b"}, false},
        {"the line the byte limit cuts is left out", longLine + "\nyyyy\n", 10, {longLine}, false},
        {"one line past the byte limit: nothing", std::string(kMax + 5, 'x'), 10, {}, false},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        TempFolder::Put(folder / "s.txt", c.bytes);
        FileOp::InputFile in;
        ASSERT_EQ(in.Open(folder / "s.txt"), 0);
        ScriptFile::Text text;
        EXPECT_EQ(ScriptFile::ReadLines(in, c.maxLines, text), 0) << c.what;
        EXPECT_EQ(text.lines, c.lines) << c.what;
        EXPECT_EQ(text.complete, c.complete) << c.what;
    }
}

TEST(ScriptFile, BadLinesGiveOneMessageNamingTheFileAndTheFirstLine) {
    TextConstants::textLanguage = 1;
    GenMsg::InitMessages();
    ScriptFile::BadLines none("/p/TutIntro.txt");
    none.Report();  // nothing bad: no message
    EXPECT_TRUE(Fakes().TakeMessages().empty());

    ScriptFile::BadLines bad("/p/TutIntro.txt");
    bad.Add(7, "Lexi JUMP", "ProcessLine cmd");
    bad.Add(3, "Lexi.\tText SET \"" + std::string(70, 'a') + "\"", "ProcessLine strSym");
    bad.Add(9, "", "past the end");
    bad.Report();
    bad.Report();
    const std::vector<Services::Message> shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMscriptDamaged);
    EXPECT_EQ(shown[0].helpTag, "GMscriptDamaged");
    // The lowest number, its line shortened and without its tab.
    EXPECT_EQ(shown[0].arg, "/p/TutIntro.txt, line 3: Lexi. Text SET \"" + std::string(44, 'a') + "...");

    TextConstants::textLanguage = 0;
    ScriptFile::BadLines end("/p/TutIntro.txt");
    end.Add(502, "", "past the end");
    EXPECT_EQ(end.Where(), "/p/TutIntro.txt, Zeile 502");
    TextConstants::textLanguage = 1;
}
