// List files and registry lists: round trips, damaged files, safe saving.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <tuple>

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

using Lines = std::vector<std::string>;

class ListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("listfiles-" + std::to_string(::getpid()) + "-" +
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
    atom* group = db.Make("gnJohannes", 2, "Johannes");
    fs::path dir;
};

TEST_F(ListFileTest, RoundTripKeepsLinesTitlesAndCounts) {
    ResultSet rs;
    rs.setTitle("Fixed");
    rs.setPureTitle(" from Wales");
    rs.AddResult("Anna\tgrace, favour", "why 1", anna);
    rs.AddResult("Jens", "%20 stays", jens);
    rs.AddResult("Johannes", "", group);
    rs.AddResult("Gone", "", db.Make("naGone", 0, "Gone"));
    rs.AddResult("Gedankenstrich \x96 und Wörter"_cp, "no atom", nullptr);
    rs.AddResult("", "", nullptr);
    rs.Sort(99);
    ASSERT_TRUE(rs.Save(Path("a.onl")));
    EXPECT_EQ(Bytes(Path("a.onl")).substr(2, 9), "Orsabrine");  // saved in German, read in English

    std::string bytes = Bytes(Path("a.onl"));
    bytes[bytes.find("naGone") + 2] = 'X';  // now "naXone", unknown
    WriteBytes(Path("a.onl"), bytes);
    TextConstants::textLanguage = 1;
    ResultSet back;
    ASSERT_TRUE(back.Load(Path("a.onl")));
    EXPECT_EQ(Texts(back), Texts(rs));
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        EXPECT_EQ(back.reason(i), rs.reason(i));
        // An atom the database no longer knows reads as the "nothing" atom.
        EXPECT_EQ(back.atom(i), rs.line(i) == "Gone" ? db.Nothing() : rs.atom(i));
    }
    EXPECT_EQ(back.NumNames(), 3);  // the unknown one too: it is shown
    EXPECT_EQ(back.numGenNames(), 1);
    EXPECT_EQ(back.fixedTitle(), "Fixed");
    EXPECT_EQ(back.pureTitle(), " from Wales");
    EXPECT_EQ(back.SortOrder(), 0);  // lines reset the order

    EXPECT_EQ(Fakes().busy.ons, Fakes().busy.offs);
}

TEST_F(ListFileTest, LongTextsAndManyLinesLoadBack) {
    for (auto [lines, length] : {std::pair{2, 301}, {1, 32767}, {20001, 3}}) {
        ResultSet rs;
        rs.setPureTitle(std::string(400, 't'));
        for (int i = 0; i < lines; ++i)
            rs.AddResult(std::string(length, 'a' + i % 26), std::string(length, 'r'), i % 2 ? anna : nullptr);
        ASSERT_TRUE(rs.Save(Path("long.onl"))) << lines;
        ResultSet back;
        ASSERT_TRUE(back.Load(Path("long.onl"))) << lines;
        EXPECT_EQ(Texts(back), Texts(rs)) << lines;
        EXPECT_EQ(back.reason(lines - 1), rs.reason(lines - 1)) << lines;
        EXPECT_EQ(back.pureTitle(), rs.pureTitle()) << lines;
    }
}

TEST_F(ListFileTest, AFailedSaveKeepsTheOldFile) {
    ResultSet old;
    old.AddResult("Anna", "", anna);
    ASSERT_TRUE(old.Save(Path("l.onl")));
    const std::string before = Bytes(Path("l.onl"));

    ResultSet tooLong;  // a text too long for the format
    tooLong.AddResult(std::string(32768, 'x'), "", nullptr);
    EXPECT_FALSE(tooLong.Save(Path("l.onl")));
    EXPECT_EQ(Bytes(Path("l.onl")), before);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMlistSaveError});

    FileOp::TestFaults().commitErrno = ENOSPC;
    FileOp::TestFaults().commitTimes = 1;
    EXPECT_FALSE(old.Save(Path("l.onl")));
    EXPECT_EQ(Bytes(Path("l.onl")), before);
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMdiskFull);
    EXPECT_EQ(shown[0].arg, Path("l.onl"));
    for (const auto& entry : fs::directory_iterator(dir)) EXPECT_EQ(entry.path().filename(), "l.onl");
    EXPECT_EQ(Fakes().busy.ons, Fakes().busy.offs);
}

std::string Int16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string Int32(int32_t v) { return Int16(v & 0xFFFF) + Int16((v >> 16) & 0xFFFF); }
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
    const Case cases[] = {
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
        EXPECT_EQ(Fakes().TakeMessageNumbers(), c.loads ? std::vector<int>{} : std::vector<int>{GenMsg::GMstructError})
            << c.what;
        if (c.loads) { EXPECT_EQ(rs.numLines(), 2) << c.what; }
        Fakes().TakeAsserts();  // "Load numLines" is no concern here
    }
    // Every truncation is refused, a missing file too.
    const std::string whole = Fields{}.Join();
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        if (n < whole.size()) WriteBytes(Path("t.onl"), whole.substr(0, n));
        ResultSet rs;
        EXPECT_FALSE(rs.Load(Path(n < whole.size() ? "t.onl" : "missing.onl"))) << n;
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMstructError}) << n;
    }
    EXPECT_EQ(Fakes().busy.ons, Fakes().busy.offs);
}

// Loading and saving from the menu: each failure is one message that says
// what went wrong, never followed by a second one.
TEST_F(ListFileTest, TheListCommandsTellEachFailureInOneMessage) {
    FileOp::SetListFileFormat(&ListFile::TheFormat());
    Fields damaged;
    damaged.end = Str("fin");
    WriteBytes(Path("damaged.onl"), damaged.Join());
    ResultSet list;
    list.AddResult("Anna", "", anna);
    ResultSet tooLong;
    tooLong.AddResult(std::string(32768, 'x'), "", nullptr);
    struct Case {
        const char* what;
        bool load;
        std::function<bool()> command;
        int errnum;
        int message;
    } cases[] = {
        {"damaged file", true, [] { return FileOp::LoadListFile() != nullptr; }, 0, GenMsg::GMstructError},
        {"unreadable file", true, [] { return FileOp::LoadListFile() != nullptr; }, EIO, GenMsg::GMinternalDiskError},
        {"full disk", false, [&] { return FileOp::SaveListFile(&list); }, ENOSPC, GenMsg::GMdiskFull},
        {"text too long", false, [&] { return FileOp::SaveListFile(&tooLong); }, 0, GenMsg::GMlistSaveError},
    };
    for (const Case& c : cases) {
        if (c.load)
            Fakes().dialogs.openAnswers.push_back(Path("damaged.onl"));
        else
            Fakes().dialogs.saveAnswers.push_back(Path("new.onl"));
        FileOp::TestFaults() = {};
        if (c.errnum) {
            FileOp::TestFaults().readErrno = FileOp::TestFaults().commitErrno = c.errnum;
            FileOp::TestFaults().readTimes = FileOp::TestFaults().commitTimes = 1;
        }
        EXPECT_FALSE(c.command()) << c.what;
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{c.message}) << c.what;
    }
    FileOp::TestFaults() = {};
    EXPECT_FALSE(fs::exists(Path("new.onl")));
    FileOp::SetListFileFormat(nullptr);
}

TEST_F(ListFileTest, RefreshingTakesTheAtomTextsOfKnownAtomsOnly) {
    ResultSet rs;
    rs.AddResult("anna (old)\tmy comment", "r", anna);
    rs.AddResult("jens (old)", "", jens);
    rs.AddResult("Lost name\tkept", "", db.Nothing());
    rs.AddResult("no atom", "", nullptr);
    rs.Sort(1);
    rs.RefreshAtomTexts();
    EXPECT_EQ(Texts(rs), (Lines{"Anna\tmy comment", "Jens", "Lost name\tkept", "no atom"}));
    EXPECT_EQ(rs.SortOrder(), 1);
    // The file commands load a list with the texts the atoms have now.
    rs.setFullLine(0, "old text\tcomment");
    ASSERT_TRUE(ListFile::TheFormat().Save(rs, Path("f.onl")));
    auto back = ListFile::TheFormat().Load(Path("f.onl"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->line(0), "Anna\tcomment");
}

TEST_F(ListFileTest, RegistryListsKeepCommasTabsAndPercentSigns) {
    atom* eva = db.Make("naEva", 1, "Eva");
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
    const std::string gen = "*** Assert: *** LoadFromRegistry Gen", end = "*** Assert: *** LoadFromRegistry //";
    const std::tuple<const char*, int, Lines> cases[] = {
        {"0,1,Anna,,naAnna,//", 1, {}},
        {"0,3,Anna,,naAnna,//", 1, {}},  // fewer lines than promised
        {"0,3,Anna,,naAnna", 1, {}},
        {"0,0", 0, {end}},
        {"1,1,Anna,,naAnna,//", 1, {gen}},
        {"0,1,Anna,,naAnna,extra,//", 1, {end}},
        {"garbage", 0, {gen}},
        {"0,99999999999,a,b", 0, {}},
    };
    for (const auto& [text, lines, asserts] : cases) {
        ResultSet rs;
        rs.ParseRegistryText(text);
        EXPECT_EQ(rs.numLines(), lines) << text;
        EXPECT_EQ(Fakes().TakeAsserts(), asserts) << text;
    }
}

}  // namespace
