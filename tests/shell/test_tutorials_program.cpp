// The four tutorials and every example of both examples files, run in the
// real program on the sample database, in both editions.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListWidget>
#include <fstream>
#include <map>
#include <regex>

#include "Atom.h"
#include "Auto.h"
#include "DataBase.h"
#include "Examples.h"
#include "Fakes.h"
#include "FileOp.h"
#include "Options.h"
#include "ProgramFixture.h"
#include "ResultSet.h"
#include "Searches.h"
#include "Startup.h"
#include "TextConstants.h"
#include "TutSelect.h"
#include "Tutor.h"
#include "WinMan.h"

namespace {

struct Edition {
    const char* argv0;
    const char* examples;
    const char* tutorialFolder;  // of the sources
};
const Edition kEditions[] = {
    {"/x/talvessin", "Talv1Ex.txt", "data/tutorials"},
    {"/x/orsabrine", "Orsa1Ex.txt", "data/tutorials/de"},
};

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class ProgramTutorials : public RunningProgram {
protected:
    void SetUp() override {
        RunningProgram::SetUp();
        Options::ShowShortHelp = false;
        Examples::ResetCounters();
    }
    void TearDown() override {
        RunningProgram::TearDown();
        Examples::showText = nullptr;
        Examples::ResetCounters();
    }
    void Start(const Edition& e) {
        Stop();
        StartProgram(e.argv0);
        if (HasFatalFailure()) return;
        Options::ShowShortHelp = false;
        // The explanation box is the only box an example shows: recorded here.
        Examples::showText = [this](const std::string& text) { shown.push_back(text); };
        Fakes().TakeMessages();
    }

    std::vector<std::string> shown;
};

}  // namespace

TEST_F(ProgramTutorials, EveryTutorialRunsToItsEndInBothEditions) {
    for (const Edition& e : kEditions) {
        Start(e);
        for (int entry = 0; entry < 4; ++entry) {
            const std::string file = TutSelect::Entries()[entry].file;
            WinMan::OpenForm("TutSelect");
            auto* select = static_cast<TutSelect*>(Auto::GetForm("TutSelect"));
            select->Tutorials()->setCurrentRow(entry);
            select->DoSelect()->Press();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            Tutor& tutor = select->TutorWindow();
            ASSERT_TRUE(WinMan::tutorialRunning) << e.argv0 << " " << file;
            int steps = 1;
            while (WinMan::tutorialRunning && steps < 20) {
                EXPECT_FALSE(tutor.StepSource().empty()) << file << " step " << steps;
                tutor.NextStep()->Press();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                ++steps;
            }
            EXPECT_FALSE(WinMan::tutorialRunning) << file;
            EXPECT_GE(steps, 5) << file;  // four to eight steps, and the last Next
            EXPECT_LE(steps, 9) << file;
            EXPECT_EQ(WinMan::bandOffset, 0) << file;
            EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{}) << e.argv0 << " " << file;
            EXPECT_TRUE(Fakes().TakeMessages().empty()) << e.argv0 << " " << file;
        }
    }
}

TEST_F(ProgramTutorials, EveryExamplePlaysAndShowsItsExplanationInBothEditions) {
    for (const Edition& e : kEditions) {
        Start(e);
        // The examples of each window, in the order the file gives them.
        std::map<std::string, std::vector<int>> byWindow;
        std::regex header(R"(^\*([A-Za-z]+),(\d+)$)");
        for (const std::string& line : Lines(BinaryPath("bin/") + e.examples)) {
            std::smatch m;
            if (std::regex_match(line, m, header)) byWindow[m[1]].push_back(std::stoi(m[2]));
        }
        ASSERT_GE(byWindow.size(), 4u) << e.examples;
        for (const auto& [window, numbers] : byWindow) {
            EXPECT_GE(numbers.size(), 2u) << window;
            for (std::size_t k = 0; k < numbers.size(); ++k) {
                EXPECT_EQ(numbers[k], static_cast<int>(k)) << window;
                shown.clear();
                const auto before = Searches::GetListsCurrent();
                Examples::PlayExample(window);
                EXPECT_FALSE(Examples::exampleMode);
                ASSERT_EQ(shown.size(), 1u) << e.examples << " " << window << "," << k;
                EXPECT_FALSE(shown.front().empty()) << window << "," << k;
                EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{}) << e.examples << " " << window << "," << k;
                EXPECT_TRUE(Fakes().TakeMessages().empty()) << e.examples << " " << window << "," << k;
                // A search window's example makes a list with something in it.
                if (window == "Lexi" || window == "Lang" || window == "FullText") {
                    const auto list = Searches::GetListsCurrent();
                    ASSERT_TRUE(list && list != before) << window << "," << k;
                    EXPECT_GT(list->numLines(), 0) << window << "," << k;
                }
            }
            EXPECT_EQ(Examples::NextExample(window), static_cast<int>(numbers.size())) << window;
        }
    }
}

// The links of the tutorial texts name atoms of the sample database.
TEST_F(ProgramTutorials, EveryLinkOfTheTutorialsNamesAnAtom) {
    Start(kEditions[0]);
    std::regex link(R"(<a>([^<]*)</a>)");
    int links = 0;
    for (const Edition& e : kEditions) {
        for (const TutSelect::Entry& t : TutSelect::Entries()) {
            const std::string path = SourcePath(std::string(e.tutorialFolder) + "/" + t.file);
            for (const std::string& line : Lines(path)) {
                for (auto it = std::sregex_iterator(line.begin(), line.end(), link); it != std::sregex_iterator(); ++it) {
                    const std::string name = (*it)[1];
                    atom* a = DataBase::GetAtom(name);
                    EXPECT_TRUE(a && a->id() > 0) << path << ": " << name;
                    ++links;
                }
            }
        }
    }
    EXPECT_GT(links, 10);
}
