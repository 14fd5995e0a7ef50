// List files and registry lists: round trips, damaged files, safe saving.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Cp1252.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "ListFile.h"
#include "ListTestSupport.h"
#include "Options.h"
#include "ResultSet.h"
#include "TextConstants.h"

namespace fs = std::filesystem;

namespace {

class ListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("listfiles-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    TestAtoms db;
    atom* anna = db.Make("naAnna", 1, "Anna");
    atom* jens = db.Make("naJens", 0, "Jens");
    atom* eva = db.Make("naEva", 1, "Eva");
    atom* group = db.Make("gnJohannes", 2, "Johannes");
    fs::path dir;
};

TEST_F(ListFileTest, RoundTripKeepsLinesTitlesAndCounts) {
    ResultSet rs;
    rs.setTitle("Fixed");
    rs.setPureTitle(" from Wales");
    rs.setId(4);  // the list number is the program's, not the file's
    rs.AddResult("Anna\tgrace, favour", "why 1", anna);
    rs.AddResult("Jens", "", jens);
    rs.AddResult("Eva", "%20 stays", eva);
    rs.AddResult("Johannes", "", group);
    rs.AddResult("Gedankenstrich \x96 und Wörter"_cp, "no atom", nullptr);
    rs.AddResult("", "", nullptr);
    rs.Sort(99);
    ASSERT_TRUE(rs.Save(Path("a.onl")));

    ResultSet back;
    ASSERT_TRUE(back.Load(Path("a.onl")));
    EXPECT_EQ(Texts(back), Texts(rs));
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        EXPECT_EQ(back.reason(i), rs.reason(i));
        EXPECT_EQ(back.atom(i), rs.atom(i));
    }
    EXPECT_EQ(back.NumNames(), 3);
    EXPECT_EQ(back.numGenNames(), 1);
    EXPECT_EQ(back.fixedTitle(), "Fixed");
    EXPECT_EQ(back.pureTitle(), " from Wales");
    EXPECT_EQ(back.SortOrder(), 0);  // lines reset the order
    EXPECT_EQ(Fakes().busy.ons, Fakes().busy.offs);
}

TEST_F(ListFileTest, WhatIsSavedLoadsBackLongTextsAndManyLinesIncluded) {
    struct Case {
        const char* what;
        int lines;
        std::size_t textLength;
    };
    for (const Case& c : {Case{"301 characters", 2, 301}, Case{"longest text", 1, 32767},
                          Case{"20,001 lines", 20001, 3}}) {
        ResultSet rs;
        rs.setPureTitle(std::string(400, 't'));
        for (int i = 0; i < c.lines; ++i)
            rs.AddResult(std::string(c.textLength, 'a' + i % 26), std::string(c.textLength, 'r'),
                         i % 2 ? anna : nullptr);
        ASSERT_TRUE(rs.Save(Path("long.onl"))) << c.what;
        ResultSet back;
        ASSERT_TRUE(back.Load(Path("long.onl"))) << c.what;
        EXPECT_EQ(back.numLines(), c.lines) << c.what;
        EXPECT_EQ(Texts(back), Texts(rs)) << c.what;
        EXPECT_EQ(back.reason(c.lines - 1), rs.reason(c.lines - 1)) << c.what;
        EXPECT_EQ(back.pureTitle(), rs.pureTitle()) << c.what;
    }
}

TEST_F(ListFileTest, ATextTooLongForTheFormatFailsTheSaveAndKeepsTheOldFile) {
    WriteBytes(Path("keep.onl"), "old contents");
    ResultSet rs;
    rs.AddResult(std::string(32768, 'x'), "", nullptr);
    EXPECT_FALSE(rs.Save(Path("keep.onl")));
    EXPECT_EQ(Bytes(Path("keep.onl")), "old contents");
    EXPECT_EQ(Fakes().busy.ons, Fakes().busy.offs);
}

TEST_F(ListFileTest, AFailedWriteKeepsTheOldFileAndReportsTheDiskError) {
    ResultSet old;
    old.AddResult("Anna", "", anna);
    ASSERT_TRUE(old.Save(Path("l.onl")));
    const std::string before = Bytes(Path("l.onl"));

    ResultSet rs;
    rs.AddResult("Jens", "", jens);
    FileOp::TestFaults().commitErrno = ENOSPC;
    FileOp::TestFaults().commitTimes = 1;
    EXPECT_FALSE(rs.Save(Path("l.onl")));
    EXPECT_EQ(Bytes(Path("l.onl")), before);
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMdiskFull);
    EXPECT_EQ(shown[0].arg, Path("l.onl"));
    for (const auto& entry : fs::directory_iterator(dir)) EXPECT_EQ(entry.path().filename(), "l.onl");
}

TEST_F(ListFileTest, EmptyListsUnknownAtomsAndEitherEdition) {
    ResultSet empty;
    empty.setTitle("T");
    empty.Sort(3);
    ASSERT_TRUE(empty.Save(Path("e.onl")));
    ResultSet back;
    ASSERT_TRUE(back.Load(Path("e.onl")));
    EXPECT_EQ(back.numLines(), 0);
    EXPECT_EQ(back.fixedTitle(), "T");
    EXPECT_EQ(back.SortOrder(), 3);

    // Saved in German ("Orsabrine"), read in English; an atom the database no
    // longer knows reads as the "nothing" atom and counts as nothing.
    ResultSet rs;
    rs.AddResult("Anna", "", anna);
    rs.AddResult("Gone", "", db.Make("naGone", 0, "Gone"));
    ASSERT_TRUE(rs.Save(Path("g.onl")));
    EXPECT_EQ(Bytes(Path("g.onl")).substr(2, 9), "Orsabrine");
    std::string bytes = Bytes(Path("g.onl"));
    bytes[bytes.find("naGone") + 2] = 'X';  // now "naXone", unknown
    WriteBytes(Path("g.onl"), bytes);
    TextConstants::textLanguage = 1;
    ASSERT_TRUE(back.Load(Path("g.onl")));
    EXPECT_EQ(back.atom(1), db.Nothing());
    EXPECT_EQ(back.NumNames(), 1);
}

// --- damaged files ---------------------------------------------------------------

std::string Int16(int v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
            static_cast<char>(u >> 24)};
}
std::string Str(const std::string& s) { return Int16(static_cast<int>(s.size())) + s; }

// A file by its fields, so that each case spoils one of them.
struct Fields {
    std::string header = Str("Talvessin V1 Binary ResultSet File");
    std::string generation = Int16(0);
    std::string titles = Str("t") + Str("p");
    std::string order = Int16(0);
    std::string counts = Int32(2) + Int32(1) + Int32(0);
    std::string records = Str("Anna") + Str("r") + Str("naAnna") + Str("x") + Str("") + Str("");
    std::string end = Str("end");
    std::string Join() const { return header + generation + titles + order + counts + records + end; }
};

TEST_F(ListFileTest, DamagedFilesAreRefusedCleanly) {
    struct Case {
        const char* what;
        void (*spoil)(Fields&);
        bool loads;
    };
    const std::vector<Case> cases = {
        {"intact", [](Fields&) {}, true},
        {"end mark in capitals", [](Fields& f) { f.end = Str("END"); }, true},
        {"sort order 99", [](Fields& f) { f.order = Int16(99); }, true},
        {"header of another file", [](Fields& f) { f.header = Str("Something else entirely"); }, false},
        {"header length negative", [](Fields& f) { f.header = Int16(-1) + "Talvessin"; }, false},
        {"header length past the end", [](Fields& f) { f.header = Int16(32767) + "Talvessin"; }, false},
        {"generation 1", [](Fields& f) { f.generation = Int16(1); }, false},
        {"sort order 21", [](Fields& f) { f.order = Int16(21); }, false},
        {"sort order negative", [](Fields& f) { f.order = Int16(-3); }, false},
        {"line count negative", [](Fields& f) { f.counts = Int32(-1) + Int32(0) + Int32(0); }, false},
        {"line count huge", [](Fields& f) { f.counts = Int32(0x7FFFFFFF) + Int32(0) + Int32(0); }, false},
        {"more lines than records", [](Fields& f) { f.counts = Int32(3) + Int32(1) + Int32(0); }, false},
        {"name count above line count", [](Fields& f) { f.counts = Int32(2) + Int32(3) + Int32(0); }, false},
        {"group count negative", [](Fields& f) { f.counts = Int32(2) + Int32(0) + Int32(-1); }, false},
        {"record text length negative", [](Fields& f) { f.records = Int16(-2) + f.records.substr(2); }, false},
        {"end mark wrong", [](Fields& f) { f.end = Str("fin"); }, false},
        {"end mark missing", [](Fields& f) { f.end.clear(); }, false},
    };
    for (const auto& c : cases) {
        Fields f;
        c.spoil(f);
        WriteBytes(Path("d.onl"), f.Join());
        ResultSet rs;
        EXPECT_EQ(rs.Load(Path("d.onl")), c.loads) << c.what;
        EXPECT_EQ(Fakes().TakeMessageNumbers(),
                  c.loads ? std::vector<int>{} : std::vector<int>{GenMsg::GMstructError})
            << c.what;
        if (c.loads) {
            EXPECT_EQ(rs.numLines(), 2) << c.what;
        }
        Fakes().TakeAsserts();  // "Load numLines" is no concern here
    }
}

TEST_F(ListFileTest, EveryTruncationIsRefused) {
    const std::string whole = Fields{}.Join();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        WriteBytes(Path("t.onl"), whole.substr(0, n));
        ResultSet rs;
        EXPECT_FALSE(rs.Load(Path("t.onl"))) << n;
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMstructError}) << n;
    }
    EXPECT_EQ(Fakes().busy.ons, Fakes().busy.offs);
}

TEST_F(ListFileTest, MissingFilesAndReadErrorsHaveTheirMessages) {
    ResultSet rs;
    EXPECT_FALSE(rs.Load(Path("none.onl")));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMstructError});

    WriteBytes(Path("r.onl"), Fields{}.Join());
    FileOp::TestFaults().readErrno = EIO;
    FileOp::TestFaults().readTimes = 1;
    EXPECT_FALSE(rs.Load(Path("r.onl")));
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].errNum, FileOp::kErrDeviceIO);
}

TEST_F(ListFileTest, TheFileCommandsReadThroughTheFormat) {
    ResultSet rs;
    rs.AddResult("old text\tcomment", "", anna);
    ASSERT_TRUE(ListFile::TheFormat().Save(rs, Path("f.onl")));
    auto back = ListFile::TheFormat().Load(Path("f.onl"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->line(0), "Anna\tcomment");
    EXPECT_EQ(ListFile::TheFormat().Load(Path("missing.onl")), nullptr);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMstructError});
}

// --- atom texts and registry lists --------------------------------------------------

TEST_F(ListFileTest, RefreshingTakesTheAtomTextsOfKnownAtomsOnly) {
    ResultSet rs;
    rs.AddResult("anna (old)\tmy comment", "r", anna);
    rs.AddResult("jens (old)", "", jens);
    rs.AddResult("Lost name\tkept", "", db.Nothing());
    rs.AddResult("no atom", "", nullptr);
    rs.Sort(1);
    const int order = rs.SortOrder();
    rs.RefreshAtomTexts();
    EXPECT_EQ(Texts(rs), (std::vector<std::string>{"Anna\tmy comment", "Jens", "Lost name\tkept", "no atom"}));
    EXPECT_EQ(rs.SortOrder(), order);
}

TEST_F(ListFileTest, RegistryListsKeepCommasTabsAndPercentSigns) {
    ResultSet rs;
    rs.AddResult("Eva, Maria", "\twhy", eva);
    rs.AddResult("50% off", "a,b%2C", nullptr);
    EXPECT_EQ(rs.RegistryText(), "0,2,Eva%2C%20Maria,%09why,naEva,50%25%20off,a%2Cb%252C,,//");
    rs.SaveToRegistry("Fav");
    std::string stored;
    ASSERT_TRUE(Options::GetVal("Sets", "Fav", stored));
    EXPECT_EQ(stored, rs.RegistryText());

    ResultSet back;
    back.AddResult("to be replaced", "", nullptr);
    back.LoadFromRegistry("Fav");
    EXPECT_EQ(Texts(back), Texts(rs));
    EXPECT_EQ(back.reason(0), "\twhy");
    EXPECT_EQ(back.reason(1), "a,b%2C");
    EXPECT_EQ(back.atom(0), eva);
    EXPECT_EQ(back.atom(1), nullptr);

    back.LoadFromRegistry("Missing");
    EXPECT_EQ(back.numLines(), 0);
}

TEST_F(ListFileTest, DamagedRegistryListsStopWithoutFailing) {
    struct Case {
        const char* text;
        int lines;
        std::vector<std::string> asserts;
    };
    const std::vector<Case> cases = {
        {"0,1,Anna,,naAnna,//", 1, {}},
        {"0,3,Anna,,naAnna,//", 1, {}},  // fewer lines than promised
        {"0,3,Anna,,naAnna", 1, {}},
        {"0,0", 0, {"*** Assert: *** LoadFromRegistry //"}},
        {"1,1,Anna,,naAnna,//", 1, {"*** Assert: *** LoadFromRegistry Gen"}},
        {"0,1,Anna,,naAnna,extra,//", 1, {"*** Assert: *** LoadFromRegistry //"}},
        {"garbage", 0, {"*** Assert: *** LoadFromRegistry Gen"}},
        {"0,99999999999,a,b", 0, {}},
    };
    for (const auto& c : cases) {
        ResultSet rs;
        rs.ParseRegistryText(c.text);
        EXPECT_EQ(rs.numLines(), c.lines) << c.text;
        EXPECT_EQ(Fakes().TakeAsserts(), c.asserts) << c.text;
    }
}

}  // namespace
