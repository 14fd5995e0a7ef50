// The export files of a list: plain text, CSV and RTF of names, names with
// reasons and descriptions, as the bytes the user's file receives.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "BinFile.h"
#include "DataBase.h"
#include "Dates.h"
#include "ExportText.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "ListDescriptions.h"
#include "ResultSet.h"
#include "TempFolder.h"
#include "TextConstants.h"

namespace {

using namespace ExportText;

class ExportTest : public testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        TextConstants::edition = 1;
        TextConstants::LoadTexts();
        Dates::InitMonths();
        DataBase::InitDataBase();
        DataBase::DbStatus st = DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin"));
        ASSERT_TRUE(st.ok) << st.detail;
        list.InitInt();
    }
    static atom* A(const std::string& name) {
        atom* a = DataBase::GetAtom(name);
        EXPECT_NE(a, DataBase::nothingAtom) << name;
        return a;
    }
    // Lines without atoms: only their texts and reasons matter to the list writers.
    void Lines(const std::vector<std::pair<std::string, std::string>>& lines) {
        for (const auto& [text, reason] : lines) list.AddResult(text, reason, nullptr);
    }
    ResultSet list;
};

const std::string k19 = "Abcdefghijklmnopqrs", k20 = k19 + "t", k27 = "Abcdefghijklmnopqrstuvwxyza";

TEST_F(ExportTest, ListRowsInEachFormat) {
    Lines({{"Anna", "Female name"}, {k19, "r19"}, {k20, "r20"}, {"Jo\"hn;x", "a \"b\""}, {"=SUM(A1)", "-1"}});
    struct Case {
        int format, scope;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {kText, kNames, "Anna\r\n" + k19 + "\r\n" + k20 + "\r\nJo\"hn;x\r\n=SUM(A1)\r\n"},
        {kText, kNamesReasons,
         "Anna                Female name\r\n" + k19 + " r19\r\n" + k20 + " r20\r\n"
         "Jo\"hn;x             a \"b\"\r\n=SUM(A1)            -1\r\n"},
        // Inner quotes doubled; a cell a spreadsheet would run as a formula
        // gets an apostrophe first.
        {kCsvComma, kNames,
         "\"Name\"\r\n\"Anna\"\r\n\"" + k19 + "\"\r\n\"" + k20 + "\"\r\n\"Jo\"\"hn;x\"\r\n\"'=SUM(A1)\"\r\n"},
        {kCsvSemi, kNamesReasons,
         "\"Name\";\"Reason\"\r\n\"Anna\";\"Female name\"\r\n\"" + k19 + "\";\"r19\"\r\n\"" + k20 +
             "\";\"r20\"\r\n\"Jo\"\"hn;x\";\"a \"\"b\"\"\"\r\n\"'=SUM(A1)\";\"'-1\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.format) + "/" + std::to_string(c.scope));
        RecordingProgress progress;
        EXPECT_EQ(ListDescriptions::ExportContents(list, c.format, c.scope, &progress), c.bytes);
        EXPECT_EQ(progress.maximum, 5);
        EXPECT_EQ(progress.values.back(), 5);
    }
}

TEST_F(ExportTest, DescriptionLinesInTextAndCsv) {
    ResultSet d;
    d.InitInt();
    for (const char* line : {"Abcdefghijklmnopqrstuvwxyz\tv26", "Abcdefghijklmnopqrstuvwxyza\tv27",
                             "Origin\tLatin (  old\xa0" "form) a=  b", "Plain line", "", "Tab\tx\ty"})
        d.AddResult(line, "", nullptr);
    EXPECT_EQ(DescrText(d, kText),
              "Abcdefghijklmnopqrstuvwxyz v26\r\n" + k27 + "v27\r\n"
              "Origin                     Latin (old form) a=b\r\nPlain line\r\n\r\n"
              "Tab                        x\ty\r\n");
    EXPECT_EQ(DescrText(d, kCsvSemi),
              "\"Info\";\"Value\"\r\n\"Abcdefghijklmnopqrstuvwxyz\";\"v26\"\r\n\"" + k27 +
                  "\";\"v27\"\r\n\"Origin\";\"Latin (old form) a=b\"\r\n\"\";\"Plain line\"\r\n\"\";\"\"\r\n"
                  "\"Tab\";\"x\ty\"\r\n");
    TextConstants::textLanguage = 0;
    EXPECT_EQ(DescrText(ResultSet(), kCsvComma), "\"Angabe\",\"Wert\"\r\n");
    EXPECT_EQ(ListText(ResultSet(), kCsvComma, kNamesReasons, nullptr), "\"Name\",\"Grund\"\r\n");
}

// The straightforward way: each "( " and "= " replaced, from the same place
// again, until none is left.
static std::string PlainByReplacing(std::string text) {
    for (char& c : text)
        if (c == '\xA0') c = ' ';
    for (const char* from : {"( ", "= "})
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) text.replace(at, 2, from, 1);
    return text;
}

TEST(PlainDescrLine, DropsTheBlanksAfterOpeningBracketsAndEqualSigns) {
    struct Case { std::string line, plain; };
    const Case cases[] = {
        {"(  Anna)", "(Anna)"}, {"=\xA0 \xA0" "Anna", "=Anna"}, {"( = x", "(=x"}, {"= ( x", "=(x"},
        {"a ( ", "a ("}, {"Anna  Hanna", "Anna  Hanna"}, {"", ""}, {"\xA0(\xA0", " ("},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainDescrLine(c.line), c.plain) << c.line;
    // Random lines of the characters that matter agree with replacing.
    uint32_t seed = 1;
    for (int k = 0; k < 20000; ++k) {
        std::string line(static_cast<size_t>(k % 23), ' ');
        for (char& c : line) {
            seed = seed * 1103515245u + 12345u;
            c = " (=a\xA0"[(seed >> 16) % 5];
        }
        ASSERT_EQ(PlainDescrLine(line), PlainByReplacing(line)) << line;
    }
}

TEST_F(ExportTest, AnEmptyListGivesAnEmptyFileOrJustTheHeader) {
    EXPECT_EQ(ListDescriptions::ExportContents(list, kText, kNames, nullptr), "");
    EXPECT_EQ(ListDescriptions::ExportContents(list, kText, kDescr, nullptr), "");
    EXPECT_EQ(ListDescriptions::ExportContents(list, kCsvComma, kNames, nullptr), "\"Name\"\r\n");
    EXPECT_EQ(ListDescriptions::ExportContents(list, kCsvSemi, kDescr, nullptr), "\"Info\";\"Value\"\r\n");
    const std::string rtf = ListDescriptions::ExportContents(list, kRtfColor, kDescr, nullptr);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
}

TEST_F(ExportTest, DescriptionsOfNamesGroupsAndLinesWithoutAtom) {
    list.AddResult("Maria", "", A("naMaria"));
    list.AddResult("Just a text", "", nullptr);
    list.AddResult("Johannes", "", A("gnJohannes"));
    ResultSet d;
    d.InitInt();
    ListDescriptions::Describe(list, d, GenDescr::DescrFlags{}, nullptr);
    std::vector<std::string> lines;
    for (int32_t i = 0; i < d.numLines(); ++i) lines.push_back(d.line(i));
    // The line without an atom: its text alone, then the two empty lines.
    const auto at = std::find(lines.begin(), lines.end(), "Just a text");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at - 1), "");
    EXPECT_EQ(*(at - 2), "");
    EXPECT_EQ(*(at + 1), "");
    EXPECT_EQ(*(at + 2), "");
    EXPECT_EQ(lines.back(), "");
    // No rule line between a name and its group.
    for (const std::string& l : lines) EXPECT_EQ(l.find("<hr>"), std::string::npos);
    const std::string text = ListDescriptions::ExportContents(list, kText, kDescr, nullptr);
    EXPECT_NE(text.find("Maria"), std::string::npos);
    EXPECT_EQ(text.find('<'), std::string::npos) << "plain export carries no mark-up";
}

TEST_F(ExportTest, RtfColoursNamesAndCarriesNoLinkMarkers) {
    list.AddResult("Maria", "Because", A("naMaria"));
    list.AddResult("Johannes", "", A("gnJohannes"));
    list.AddResult("W\xf6rter", "", nullptr);
    const std::string colour = ListDescriptions::ExportContents(list, kRtfColor, kNamesReasons, nullptr);
    const std::string bw = ListDescriptions::ExportContents(list, kRtfBW, kNamesReasons, nullptr);
    EXPECT_NE(colour.find("\\cf1"), std::string::npos);
    EXPECT_EQ(bw.find("\\cf1"), std::string::npos);
    for (const std::string* rtf : {&colour, &bw}) {
        EXPECT_NE(rtf->find("Because"), std::string::npos);
        EXPECT_NE(rtf->find("W\\'F6rter"), std::string::npos);
        EXPECT_EQ(rtf->substr(rtf->size() - 2), "\r\n");
    }
    const std::string descr = ListDescriptions::ExportContents(list, kRtfColor, kDescr, nullptr);
    EXPECT_NE(descr.find("\\cf"), std::string::npos);
    EXPECT_EQ(descr.find("\\fs0 #"), std::string::npos) << "hidden link marker in the file";
    EXPECT_EQ(ListDescriptions::ExportContents(list, kRtfBW, kDescr, nullptr).find("\\fs0 #"), std::string::npos);
}

TEST_F(ExportTest, LongDescriptionExportsAskFirst) {
    struct Case {
        int format, scope, lines;
        bool asks;
    };
    for (const Case& c : std::vector<Case>{{kText, kDescr, 1000, false},
                                           {kCsvSemi, kDescr, 1001, true},
                                           {kRtfBW, kDescr, 200, false},
                                           {kRtfColor, kDescr, 201, true},
                                           {kRtfColor, kNamesReasons, 20000, false},
                                           {kCsvComma, kNames, 20000, false}})
        EXPECT_EQ(AsksFirst(c.format, c.scope, c.lines), c.asks) << c.format << " " << c.lines;
}

TEST_F(ExportTest, AFailedWriteKeepsTheOldFile) {
    TempFolder dir;
    const std::string path = dir / "names.csv";
    TempFolder::Put(path, "old contents");
    FileOp::TestFaults().commitErrno = ENOSPC;
    FileOp::TestFaults().commitTimes = 1;
    Fakes().Answer({false});  // no second try
    EXPECT_FALSE(WriteFile(path, "new"));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdiskFull});
    EXPECT_EQ(TempFolder::Get(path), "old contents");
    EXPECT_EQ(dir.Count(), 1);
    // A second try that succeeds writes it all.
    FileOp::TestFaults().commitTimes = 1;
    Fakes().Answer({true});
    EXPECT_TRUE(WriteFile(path, "new\r\n"));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdiskFull});
    EXPECT_EQ(TempFolder::Get(path), "new\r\n");
    FileOp::TestFaults() = {};
}

}  // namespace
