// The examples player on examples files of its own: which example each press
// plays, what it replays and explains, and what a damaged file does.
#include <gtest/gtest.h>

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
        Examples::replayLine = [this](const std::string& line) {
            replayed.push_back(line);
            modeDuringReplay = modeDuringReplay && Examples::exampleMode;
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

TEST_F(ExamplesTest, DamagedFilesAssertOnceAndPlayNothingBroken) {
    // A header without a comma is skipped; the example after it still plays.
    Write("*Lexi 0\nX\n;\nbad\n*Lexi,0\nLexi SHOW\n;\ngood\n");
    EXPECT_EQ(Press("Lexi"), "Lexi SHOW | good");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);

    // An example without its ";" plays nothing, and the counter moves on.
    Examples::ResetCounters();
    Write("*Lexi,0\nLexi SHOW\nthe end of the file\n");
    EXPECT_EQ(Press("Lexi"), "- | -");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(Examples::NextExample("Lexi"), 1);

    // More than 21 input lines are all replayed.
    Examples::ResetCounters();
    std::string many = "*Lexi,0\n";
    for (int i = 0; i < 30; ++i) many += "Lexi.Arg(0) SET \"" + std::to_string(i) + "\"\n";
    Write(many + ";\nmany\n");
    Press("Lexi");
    EXPECT_EQ(replayed.size(), 30u);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(ExamplesTest, AMissingFileIsReportedOncePerPress) {
    Write(kTwoWindows);
    Press("Lexi");
    std::remove((folder / "Talv1Ex.txt").c_str());
    EXPECT_EQ(Press("Lexi"), "- | -");  // counter above 0: no second look, no second message
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfileNotFound});
    // The German edition reads its own file.
    TextConstants::edition = 0;
    EXPECT_EQ(Examples::FileName(), "Orsa1Ex.txt");
    TextConstants::edition = 1;
}
