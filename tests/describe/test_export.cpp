// The export files of a list: plain text, CSV and RTF of names, names with
// reasons and descriptions, as the bytes the user's file receives.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
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
        {kText, kNames, "Anna\n" + k19 + "\n" + k20 + "\nJo\"hn;x\n=SUM(A1)\n"},
        {kText, kNamesReasons,
         "Anna                Female name\n" + k19 + " r19\n" + k20 + " r20\n"
         "Jo\"hn;x             a \"b\"\n=SUM(A1)            -1\n"},
        // Inner quotes doubled; a cell a spreadsheet would run as a formula
        // gets an apostrophe first.
        {kCsvComma, kNames,
         "\"Name\"\n\"Anna\"\n\"" + k19 + "\"\n\"" + k20 + "\"\n\"Jo\"\"hn;x\"\n\"'=SUM(A1)\"\n"},
        {kCsvSemi, kNamesReasons,
         "\"Name\";\"Reason\"\n\"Anna\";\"Female name\"\n\"" + k19 + "\";\"r19\"\n\"" + k20 +
             "\";\"r20\"\n\"Jo\"\"hn;x\";\"a \"\"b\"\"\"\n\"'=SUM(A1)\";\"'-1\"\n"},
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
              "Abcdefghijklmnopqrstuvwxyz v26\n" + k27 + "v27\n"
              "Origin                     Latin (old form) a=b\nPlain line\n\n"
              "Tab                        x\ty\n");
    EXPECT_EQ(DescrText(d, kCsvSemi),
              "\"Info\";\"Value\"\n\"Abcdefghijklmnopqrstuvwxyz\";\"v26\"\n\"" + k27 +
                  "\";\"v27\"\n\"Origin\";\"Latin (old form) a=b\"\n\"\";\"Plain line\"\n\"\";\"\"\n"
                  "\"Tab\";\"x\ty\"\n");
    TextConstants::textLanguage = 0;
    EXPECT_EQ(DescrText(ResultSet(), kCsvComma), "\"Angabe\",\"Wert\"\n");
    EXPECT_EQ(ListText(ResultSet(), kCsvComma, kNamesReasons, nullptr), "\"Name\",\"Grund\"\n");
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
    EXPECT_EQ(ListDescriptions::ExportContents(list, kCsvComma, kNames, nullptr), "\"Name\"\n");
    EXPECT_EQ(ListDescriptions::ExportContents(list, kCsvSemi, kDescr, nullptr), "\"Info\";\"Value\"\n");
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
    EXPECT_FALSE(WriteFile(path, "new", kText));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdiskFull});
    EXPECT_EQ(TempFolder::Get(path), "old contents");
    EXPECT_EQ(dir.Count(), 1);
    // A second try that succeeds writes it all.
    FileOp::TestFaults().commitTimes = 1;
    Fakes().Answer({true});
    EXPECT_TRUE(WriteFile(path, "new\n", kText));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdiskFull});
    EXPECT_EQ(TempFolder::Get(path), "new\n");
    FileOp::TestFaults() = {};
}

TEST_F(ExportTest, TextAndCsvFilesAreUtf8WithPlainLineEndsAndRtfStaysAsItIs) {
    const std::string names = "Zo\xEB\n\xC1gnes\n";  // as the program holds them (cp1252)
    struct Case {
        int format;
        std::string bytes;
    } cases[] = {
        {kText, "Zo\xC3\xAB\n\xC3\x81gnes\n"},
        {kCsvComma, "\xEF\xBB\xBFZo\xC3\xAB\n\xC3\x81gnes\n"},
        {kCsvSemi, "\xEF\xBB\xBFZo\xC3\xAB\n\xC3\x81gnes\n"},
        {kRtfColor, names},
        {kRtfBW, names},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        EXPECT_EQ(FileBytes(c.format, names), c.bytes) << c.format;
        const std::string path = dir / ("names" + std::to_string(c.format));
        ASSERT_TRUE(WriteFile(path, names, c.format));
        EXPECT_EQ(TempFolder::Get(path), c.bytes) << c.format;
    }
}

namespace {

// What a command prints on its standard output; nothing when it failed.
std::optional<std::string> Output(const std::string& command) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
    return ::pclose(pipe) == 0 ? std::optional<std::string>(out) : std::nullopt;
}

bool Installed(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

// Another program reads an exported CSV file cell for cell as UTF-8: Python's
// csv module, told nothing but "utf-8-sig".
TEST_F(ExportTest, PythonReadsAnExportedCsvCellForCell) {
    if (!Installed("python3")) GTEST_SKIP() << "python3 is not installed";
    Lines({{"Zo\xEB", "Female name"}, {"\xC1gnes", "a \"b\""}, {"Jo\"hn;x", "=1"}});
    TempFolder dir;
    TempFolder::Put(dir / "read.py",
                    "import csv, json, sys\n"
                    "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                    "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n");
    for (int format : {kCsvComma, kCsvSemi}) {
        const std::string path = dir / "names.csv";
        ASSERT_TRUE(WriteFile(path, ListText(list, format, kNamesReasons, nullptr), format));
        const std::optional<std::string> cells =
            Output("python3 '" + (dir / "read.py") + "' '" + path + "' '" + Delimiter(format) + "'");
        ASSERT_TRUE(cells) << format;
        EXPECT_EQ(*cells, R"([["Name", "Reason"], ["Zo\u00eb", "Female name"], ["\u00c1gnes", "a \"b\""], )"
                          R"(["Jo\"hn;x", "'=1"]])" "\n")
            << format;
    }
}

// LibreOffice, where it is installed, opens the CSV and RTF exports without
// being told their code page.
TEST_F(ExportTest, LibreOfficeConvertsTheExportsWithoutAsking) {
    if (!Installed("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    Lines({{"Zo\xEB", "Female name"}, {"\xC1gnes", "a \"b\""}});
    TempFolder dir;
    const std::string csv = dir / "names.csv", rtf = dir / "names.rtf";
    ASSERT_TRUE(WriteFile(csv, ListText(list, kCsvSemi, kNamesReasons, nullptr), kCsvSemi));
    ASSERT_TRUE(WriteFile(rtf, ListDescriptions::ExportContents(list, kRtfColor, kNamesReasons, nullptr), kRtfColor));
    const std::string soffice = "timeout 300 soffice --headless --norestore -env:UserInstallation=file://" +
                                dir.Path() + "/profile ";
    const std::string out = " --outdir '" + dir.Path() + "/out' ";
    // The CSV read with only its separator told (59, the semicolon): the
    // character set comes from the byte-order mark. Written back as UTF-8
    // (76) with tabs (9) between the cells.
    ASSERT_TRUE(Output(soffice + "--infilter='Text - txt - csv (StarCalc):59,34' --convert-to "
                       "'csv:Text - txt - csv (StarCalc):9,34,76'" + out + "'" + csv + "' </dev/null"));
    ASSERT_TRUE(Output(soffice + "--convert-to 'txt:Text (encoded):UTF8'" + out + "'" + rtf + "' </dev/null"));
    const std::string cells = TempFolder::Get(dir / "out/names.csv");
    EXPECT_NE(cells.find("Zo\xC3\xAB\tFemale name"), std::string::npos) << cells;
    EXPECT_NE(cells.find("\xC3\x81gnes"), std::string::npos) << cells;
    const std::string text = TempFolder::Get(dir / "out/names.txt");
    EXPECT_NE(text.find("Zo\xC3\xAB"), std::string::npos) << text;
}

}  // namespace
