// The examples player on examples files of its own: which example each press
// plays, what it replays and explains, and what a damaged file does.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Examples.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "TempFolder.h"
#include "TextConstants.h"

namespace {

class ExamplesTest : public testing::Test {
protected:
    void SetUp() override {
        GenMsg::InitMessages();
        savedFolder = FileOp::ProgramFolder;
        FileOp::ProgramFolder = folder.Path();
        TextConstants::edition = 1;
        TextConstants::textLanguage = 1;
        Examples::ResetCounters();
        // A line the script engine would not understand begins with "Bad".
        Examples::replayLine = [this](const std::string& line) {
            replayed.push_back(line);
            modeDuringReplay = modeDuringReplay && Examples::exampleMode;
            return line.starts_with("Bad") ? std::string("ProcessLine cmd") : std::string();
        };
        Examples::showText = [this](const std::string& text) {
            shown.push_back(text);
            modeDuringBox = modeDuringBox || Examples::exampleMode;
        };
    }
    void TearDown() override {
        FileOp::ProgramFolder = savedFolder;
        Examples::replayLine = nullptr;
        Examples::showText = nullptr;
        Examples::ResetCounters();
    }
    void Write(const std::string& content) { TempFolder::Put(folder / "Talv1Ex.txt", content); }
    // One press: the first replayed line and the explanation ("-" for none).
    std::string Press(const std::string& window) {
        replayed.clear();
        shown.clear();
        Examples::PlayExample(window);
        return (replayed.empty() ? std::string("-") : replayed.front()) + " | " +
               (shown.empty() ? std::string("-") : shown.front());
    }

    TempFolder folder;
    std::string savedFolder;
    std::vector<std::string> replayed, shown;
    bool modeDuringReplay = true, modeDuringBox = false;
};

const char* const kTwoWindows =
    "Lines before the first header are skipped.\n"
    "*Lexi,0\n"
    "Lexi SHOW\n"
    "Lexi EXEC Search\n"
    ";\n"
    "First Lexi example.\n"
    "Its second line.\n"
    "\n"
    "*Lang,0\n"
    "Lang SHOW\n"
    ";\n"
    "\n"
    "*Lexi,1\n"
    "Lexi.Arg(0) SET \"ann\"\n"
    ";\n"
    "Second Lexi example, the last block of the file.";

}  // namespace

TEST_F(ExamplesTest, EachPressPlaysTheNextExampleAndTheWindowsCountApart) {
    Write(kTwoWindows);
    EXPECT_EQ(Press("Lexi"), "Lexi SHOW | First Lexi example.\r\nIts second line.");
    EXPECT_EQ(replayed, (std::vector<std::string>{"Lexi SHOW", "Lexi EXEC Search"}));
    EXPECT_EQ(Press("Lang"), "Lang SHOW | ");  // an empty explanation: an empty box
    EXPECT_EQ(Press("Lexi"), "Lexi.Arg(0) SET \"ann\" | Second Lexi example, the last block of the file.");
    EXPECT_EQ(Press("Lexi"), "Lexi SHOW | First Lexi example.\r\nIts second line.");  // from the start again
    EXPECT_EQ(Examples::NextExample("Lexi"), 1);
    EXPECT_EQ(Press("Lexi"), "Lexi.Arg(0) SET \"ann\" | Second Lexi example, the last block of the file.");
    EXPECT_EQ(Press("Lang"), "Lang SHOW | ");
    EXPECT_EQ(Press("FullText"), "- | -");  // a window without examples: nothing
    EXPECT_TRUE(modeDuringReplay);
    EXPECT_FALSE(modeDuringBox);
    EXPECT_FALSE(Examples::exampleMode);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(ExamplesTest, ADamagedFileIsToldOfOnceByItsFirstBadLineAndPlaysWhatItCan) {
    // Headers without a comma and bad input lines: skipped, the example still
    // plays, and one message names the file and the first bad line met.
    struct Case {
        const char* what;
        std::string file;
        const char* first;   // the line the message names ("" for no message)
        const char* played;  // as Press gives it
        std::size_t replayedLines;
    };
    std::string many, longOne = "*Lexi,0\n";
    for (int i = 0; i < 100; ++i) many += "*Bad header\n";
    many += "*Lexi,0\n";
    for (int i = 0; i < 300; ++i) many += "Bad line\n";
    for (int i = 0; i < 30; ++i) longOne += "Lexi.Arg(0) SET \"" + std::to_string(i) + "\"\n";
    const Case cases[] = {
        {"bad headers before the example",
         "*Lexi 0\nX\n;\nbad\n*Lexi 1\n*Lexi,0\nLexi SHOW\n;\ngood\n", "line 1: *Lexi 0", "Lexi SHOW | good", 1},
        {"bad input lines among good ones",
         "*Lexi,0\nLexi SHOW\nBad one\nLexi EXEC Search\nBad two\n;\ngood\n", "line 3: Bad one",
         "Lexi SHOW | good", 4},
        {"an example without its \";\": nothing played, its header named",
         "*Lang,0\nLang SHOW\n;\n\n*Lexi,0\nLexi SHOW\nthe end of the file\n", "line 5: *Lexi,0", "- | -", 0},
        {"hundreds of bad lines: one message", many + ";\nmany\n", "line 1: *Bad header", "Bad line | many", 300},
        {"more than 21 input lines are all replayed", longOne + ";\nlong\n", "", "Lexi.Arg(0) SET \"0\" | long",
         30},
    };
    for (const Case& c : cases) {
        Examples::ResetCounters();
        Write(c.file);
        EXPECT_EQ(Press("Lexi"), c.played) << c.what;
        EXPECT_EQ(replayed.size(), c.replayedLines) << c.what;
        EXPECT_EQ(Examples::NextExample("Lexi"), 1) << c.what;  // a broken example too
        std::vector<Services::Message> shown = Fakes().TakeMessages();
        if (!*c.first) {
            EXPECT_TRUE(shown.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(shown.size(), 1u) << c.what;
        EXPECT_EQ(shown[0].number, GenMsg::GMscriptDamaged) << c.what;
        EXPECT_EQ(shown[0].arg, (folder / "Talv1Ex.txt") + ", " + c.first) << c.what;
        // Told once a run: the next press meets the damage again in silence.
        Press("Lexi");
        EXPECT_TRUE(Fakes().TakeMessages().empty()) << c.what;
    }
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(ExamplesTest, AMissingFileIsReportedOncePerPress) {
    Write(kTwoWindows);
    Press("Lexi");
    std::remove((folder / "Talv1Ex.txt").c_str());
    EXPECT_EQ(Press("Lexi"), "- | -");  // counter above 0: no second look, no second message
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfileNotFound});
    // A named pipe in its place is no file either: nothing waits on it.
    ASSERT_EQ(::mkfifo((folder / "Talv1Ex.txt").c_str(), 0600), 0);
    EXPECT_EQ(Press("Lexi"), "- | -");
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfileNotFound});
    // The German edition reads its own file.
    TextConstants::edition = 0;
    EXPECT_EQ(Examples::FileName(), "Orsa1Ex.txt");
    TextConstants::edition = 1;
}
