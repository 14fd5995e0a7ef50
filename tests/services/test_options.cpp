#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "Cp1252.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "Options.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "TextConstants.h"

using namespace Options;

namespace {
const std::string kGermanOptions = "Software\\Quillmarsh\\Orsabrine\\1.x\\Options";
const std::string kEnglishOptions = "Software\\Quillmarsh\\Talvessin\\1.x\\Options";
}  // namespace

TEST(Options, FirstRunGivesEveryDefault) {
    // Anything left over from before must not survive a load from an empty store.
    ShowShortHelp = false, WordShowNames = true;
    QuizNumQ = 44;
    LoadInitDir = "/elsewhere";
    TextConstants::edition = 1;
    LoadOptions();
    EXPECT_EQ(RegBaseKey, "Software\\Quillmarsh\\Talvessin\\1.x\\");
    EXPECT_EQ(TextConstants::textLanguage, 1);
    for (bool b : {ShowShortHelp, ShowToolTips, ShowAlphaInfoLinks, ShowSingleInfoLinks, QuizUseLimit,
                   QuizStopAfterWrong, QuizIncDiff, DaysSortDate})
        EXPECT_TRUE(b);
    for (bool b : {WordShowNames, ListsAutoToNames, ListsAutoToGenNames, ListsAutoFemaleOnly, ListsAutoMaleOnly,
                   ListsAutoNamesOnly, ListsAutoGenNamesOnly, FavAutoSaveInfo, UserNamesInfo})
        EXPECT_FALSE(b);
    EXPECT_EQ((std::vector<int>{QuizNumMin, QuizNumQ, QuizNumJo5050, QuizNumJoNext, AlphaGender, ListsNewSortOrder}),
              (std::vector<int>{5, 10, 2, 2, 2, 1}));
    EXPECT_EQ(LoadInitDir, "/home/user/Documents");
    EXPECT_EQ(SaveInitDir, "/home/user/Documents");
}

TEST(Options, StoredTextsReadAsBooleansAndNumbers) {
    const std::pair<const char*, bool> fromFalse[] = {{"True", true}, {"tRuE", true}, {"1", false}, {" True", false}};
    for (const auto& [text, b] : fromFalse) EXPECT_EQ(ParseBool(text, false), b) << text;
    EXPECT_FALSE(ParseBool("FALSE", true));
    EXPECT_TRUE(ParseBool("garbage", true));
    const std::pair<const char*, int> ints[] = {{"7.5", 8}, {"6.5", 6}, {"12abc", 12}, {"abc", 0}, {"32768", 99}};
    for (const auto& [text, n] : ints) EXPECT_EQ(ParseInt(text, 99), n) << text;
    // An empty stored value counts as missing.
    Fakes().settings.Write(kGermanOptions, "QuizNumQ", "7.5");
    Fakes().settings.Write(kGermanOptions, "QuizNumMin", "");
    Fakes().settings.Write(kGermanOptions, "LoadInitDir", "");
    LoadOptions();
    EXPECT_EQ(QuizNumQ, 8);
    EXPECT_EQ(QuizNumMin, 5);
    EXPECT_EQ(LoadInitDir, "/home/user/Documents");
}

TEST(Options, EditionsKeepTheirSettingsApartAndSpeakTheirLanguage) {
    TextConstants::edition = 0;
    TextConstants::textLanguage = 1;
    LoadOptions();
    EXPECT_EQ(TextConstants::textLanguage, 0);  // German in the German edition
    QuizNumQ = 20;
    SaveInitDir = "C:, \\%Ordner"_cp + std::string("\xE4");
    SaveOptions();
    EXPECT_EQ(Fakes().settings.Read(kGermanOptions, "ShowShortHelp"), "True");
    EXPECT_EQ(Fakes().settings.ValueNames(kGermanOptions).size(), 25u);
    TextConstants::edition = 1;
    LoadOptions();
    EXPECT_EQ(TextConstants::textLanguage, 1);
    EXPECT_EQ(QuizNumQ, 10);
    EXPECT_EQ(SaveInitDir, "/home/user/Documents");
    EXPECT_FALSE(Fakes().settings.Read(kEnglishOptions, "QuizNumQ"));
    TextConstants::edition = 0;
    LoadOptions();
    EXPECT_EQ(QuizNumQ, 20);
    EXPECT_EQ(SaveInitDir, "C:, \\%Ordner\xE4");
}

// --- The store in a file ------------------------------------------------------

TEST(SettingsFile, EveryValueComesBackByteForByte) {
    TempFolder dir;
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    const std::string values[] = {"a, b,c", "   leading and trailing blanks   ", "100% \\%25 %zz %",
                                  "C:\\Users\\\xE4\xF6\xFC\xDF\\Listen", "tab\there\r\nCR LF\rCR\nLF",
                                  "[not a key] name=value; = ;comment", "", all};
    const std::string key = "Software\\Quillmarsh\\Talvessin\\1.x\\Sets";
    {
        FileSettingsStore store(dir / "cfg/Quillmarsh/settings");
        for (std::size_t i = 0; i < std::size(values); ++i)
            ASSERT_TRUE(store.Write(key, "v" + std::to_string(i), values[i]));
        ASSERT_TRUE(store.Write("[odd]\\key=;", "=odd name\n[", "x"));
    }
    FileSettingsStore again(dir / "cfg/Quillmarsh/settings");
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(again.Read(key, "v" + std::to_string(i)), values[i]) << i;
    EXPECT_EQ(again.Read("[odd]\\key=;", "=odd name\n["), "x");
    // Keys and names compare without case, as the registry's do.
    EXPECT_EQ(again.Read("SOFTWARE\\quillmarsh\\talvessin\\1.X\\sets\\", "V0"), values[0]);
    // The file is readable text: the accents are UTF-8.
    EXPECT_NE(TempFolder::Get(dir / "cfg/Quillmarsh/settings").find("C:\\Users\\\xC3\xA4"), std::string::npos);
}

// A file edited or damaged elsewhere: a field that is not UTF-8 never reads
// as another character (an overlong "../", an overlong "%" before "41") but
// as its bytes, a key the program never writes keeps its bytes when the
// program writes another, and one it writes keeps the bytes of such fields.
TEST(SettingsFile, BytesThatAreNoUtf8AreKeptAsTheyAre) {
    TempFolder dir;
    const std::string path = dir / "settings";
    const std::string dots = "\xC0\xAE\xC0\xAE\xC0\xAF", percent = "\xC0\xA5";
    const std::string foreign = "[Other\\Program]\r\n; a comment\r\nx=" + dots + "\r\nno value here\r\nE=caf\xC3\xA9\r\n\r\n";
    const std::string asBytes[] = {"Dir=" + dots + "etc\n", "Pct=" + percent + "41\n", "Stray=a\xFFz\n",
                                   "Na\xFFme=x\n", "Cr=\xFF\r\r\n", "[K\xFF]\n"};
    TempFolder::Put(path, "[K]\n" + asBytes[0] + asBytes[1] + asBytes[2] + asBytes[3] + asBytes[4] + "Escaped=%41\n" +
                              foreign + asBytes[5] + "v=1\n");
    FileSettingsStore store(path);
    const struct {
        const char* name;
        std::string value;
    } read[] = {{"Dir", dots + "etc"}, {"Pct", percent + "41"}, {"Stray", "a\xFFz"},
                {"Na\xFFme", "x"},     {"Cr", "\xFF\r"},          {"Escaped", "A"}};
    for (const auto& r : read) EXPECT_EQ(store.Read("K", r.name), r.value) << r.name;
    ASSERT_TRUE(store.Write("K", "New", "1"));
    ASSERT_TRUE(store.Write("K\xFF", "w", "2"));
    EXPECT_NE(TempFolder::Get(path).find(foreign), std::string::npos);
    for (const std::string& line : asBytes) EXPECT_NE(TempFolder::Get(path).find(line), std::string::npos) << line;
    FileSettingsStore again(path);
    for (const auto& r : read) EXPECT_EQ(again.Read("K", r.name), r.value) << r.name;
    EXPECT_EQ(again.Read("Other\\Program", "E"), "caf\xE9");
    // A value the program writes is its own: written as UTF-8.
    ASSERT_TRUE(again.Write("K", "Stray", "a\xFFz!"));
    EXPECT_NE(TempFolder::Get(path).find("Stray=a\xC3\xBFz!\n"), std::string::npos);
}

TEST(SettingsFile, DeleteRemovesValuesAndKeysBelow) {
    TempFolder dir;
    FileSettingsStore store(dir / "settings");
    store.Write("A\\Sets", "one", "1");
    store.Write("A\\Sets\\Deeper", "x", "y");
    store.Write("A\\SetsOther", "z", "z");
    EXPECT_TRUE(store.Delete("A\\Sets", "ONE"));
    EXPECT_TRUE(store.ValueNames("A\\Sets").empty());
    EXPECT_TRUE(store.DeleteKey("a\\sets"));
    FileSettingsStore again(dir / "settings");
    EXPECT_FALSE(again.Read("A\\Sets\\Deeper", "x"));
    EXPECT_EQ(again.Read("A\\SetsOther", "z"), "z");
}

TEST(SettingsFile, KeysAndNamesKeepTheirFirstOrderAndAreFoundAfterDeletes) {
    // A store as a user's grown file holds it: a value written again under
    // another case stays in its place, and deleting keys and values before
    // others leaves those others found by any case.
    const std::string text =
        "[A\\Sets]\nb=1\na=2\nB=3\n[A\\Sets\\Deeper]\nx=y\n[a\\sets]\nc=4\n[Z]\nlast=5\n[Y]\n";
    MemorySettingsStore store = ParseSettings(text);
    ASSERT_EQ(store.Keys().size(), 3u);  // [Y] has no values and is not kept
    EXPECT_EQ(store.ValueNames("A\\SETS"), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(store.Read("a\\sets", "B"), "3");
    EXPECT_EQ(SerializeSettings(ParseSettings(SerializeSettings(store))), SerializeSettings(store));

    store.Delete("A\\Sets", "B");
    EXPECT_EQ(store.ValueNames("A\\Sets"), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(store.Read("A\\Sets", "C"), "4");
    store.DeleteKey("a\\SETS");
    ASSERT_EQ(store.Keys().size(), 1u);
    EXPECT_EQ(store.Read("z", "LAST"), "5");
    store.Write("A\\Sets", "new", "6");
    EXPECT_EQ(store.Keys().back().path, "A\\Sets");
    EXPECT_EQ(store.Read("a\\sets\\", "NEW"), "6");
}

TEST(SettingsFile, AFailedWriteKeepsTheOldStore) {
    TempFolder dir;
    std::string path = dir / "settings";
    FileSettingsStore store(path);
    ASSERT_TRUE(store.Write("K", "kept", "old"));
    std::string before = TempFolder::Get(path);
    FileOp::TestFaults().commitErrno = ENOSPC, FileOp::TestFaults().commitTimes = 1;
    EXPECT_FALSE(store.Write("K", "kept", "new"));
    EXPECT_EQ(store.LastError(), FileOp::kErrDiskFull);
    EXPECT_EQ(store.Read("K", "kept"), "old");
    EXPECT_EQ(TempFolder::Get(path), before);
    EXPECT_EQ(dir.Count(), 1);  // no temporary file left behind
    // A new value that cannot be written is not there either, and the next
    // one takes its place in the order.
    FileOp::TestFaults().commitTimes = 1;
    EXPECT_FALSE(store.Write("K", "lost", "x"));
    EXPECT_FALSE(store.Read("K", "lost"));
    ASSERT_TRUE(store.Write("K", "next", "y"));
    EXPECT_EQ(FileSettingsStore(path).ValueNames("K"), (std::vector<std::string>{"kept", "next"}));
    // A folder that cannot exist (its parent is a file) fails as plainly.
    TempFolder::Put(dir / "plainfile", "x");
    FileSettingsStore impossible(dir / "plainfile/Quillmarsh/settings");
    EXPECT_FALSE(impossible.Write("K", "v", "1"));
    EXPECT_NE(impossible.LastError(), 0);
}

// Saving the settings onto a disk that refuses them: one disk message with
// the retry question, whatever the number of values, and the stored file as
// it was; Yes tries again.
TEST(SettingsFile, AFailedSaveOfTheOptionsIsOneMessageAndKeepsTheStore) {
    TempFolder dir;
    const std::string path = dir / "settings";
    FileSettingsStore store(path);
    Services::Set set = Services::Get();
    const Services::Set saved = set;
    set.settings = &store;
    Services::Install(set);
    TextConstants::edition = 1;
    LoadOptions();
    SaveOptions();
    const std::string before = TempFolder::Get(path);
    ASSERT_NE(before.find("QuizNumQ=10"), std::string::npos);

    struct Case {
        const char* what;
        int errnum;         // injected into the file's write; 0: the file is a folder
        int message;
        bool retry;
    } cases[] = {
        {"full disk", ENOSPC, GenMsg::GMdiskFull, false},
        {"read-only folder", EACCES, GenMsg::GMpermissionDenied, false},
        {"the file replaced by a folder", 0, GenMsg::GMpermissionDenied, false},
        {"full disk, then room", ENOSPC, GenMsg::GMdiskFull, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.errnum) {
            FileOp::TestFaults().commitErrno = c.errnum;
            FileOp::TestFaults().commitTimes = c.retry ? 1 : 1000;
        } else {
            std::filesystem::remove(path);
            std::filesystem::create_directory(path);
        }
        LoadOptions();  // each case a run of its own
        QuizNumQ = 33, ShowToolTips = false, SaveInitDir = "/elsewhere";
        Fakes().Answer({c.retry});
        SaveOptions();
        const auto shown = Fakes().TakeMessages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].number, c.message);
        EXPECT_TRUE(shown[0].question);
        EXPECT_EQ(shown[0].arg, path);
        if (!c.retry) {
            // The places of the windows, written as the program closes, say nothing more.
            EXPECT_FALSE(PutVal("Windows", "Open", "Alpha"));
            EXPECT_TRUE(Fakes().TakeMessages().empty());
        }
        FileOp::TestFaults() = {};
        if (!c.errnum) {
            std::filesystem::remove(path);
            TempFolder::Put(path, before);
        }
        if (c.retry) {
            EXPECT_NE(TempFolder::Get(path).find("QuizNumQ=33"), std::string::npos);
            TempFolder::Put(path, before);
        } else {
            EXPECT_EQ(TempFolder::Get(path), before);
        }
    }
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_EQ(dir.Count(), 1);  // no temporary file left behind
    Services::Install(saved);
}

// The program closing on a settings file it cannot write: after the user's
// No, the rest of the run writes the open windows, the places of the windows
// and the options without asking again, also when a window's place is the one
// stored (a write that writes nothing is no sign that the file can be written
// again). A write that reaches the file ends the silence.
TEST(SettingsFile, AfterNoTheFailedWritesOfTheRunAreOnlyLogged) {
    TempFolder dir;
    FileSettingsStore store(dir / "settings");
    Services::Set set = Services::Get();
    const Services::Set saved = set;
    set.settings = &store;
    Services::Install(set);
    LoadOptions();
    ASSERT_TRUE(PutVal("Windows", "Alpha", "10 20 300 400 0"));
    FileOp::TestFaults().commitErrno = EACCES, FileOp::TestFaults().commitTimes = 1000;

    Fakes().Answer({false});
    EXPECT_FALSE(PutVal("Windows", "Open", "Alpha Lexi"));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMpermissionDenied});
    EXPECT_TRUE(PutVal("Windows", "Alpha", "10 20 300 400 0"));  // as stored: nothing to write
    EXPECT_FALSE(PutVal("Windows", "Lexi", "0 0 300 400 0"));
    QuizNumQ = 33;
    SaveOptions();
    EXPECT_TRUE(Fakes().TakeMessages().empty());

    FileOp::TestFaults().commitTimes = 0;
    ASSERT_TRUE(PutVal("Windows", "Open", "Lexi"));
    FileOp::TestFaults().commitTimes = 1000;
    Fakes().Answer({false});
    SaveOptions();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMpermissionDenied});
    FileOp::TestFaults() = {};
    Services::Install(saved);
}

TEST(SettingsFile, TwoRunsSharingTheFileKeepEachOthersValues) {
    TempFolder dir;
    FileSettingsStore english(dir / "settings"), german(dir / "settings");
    ASSERT_TRUE(english.Write(kEnglishOptions, "QuizNumQ", "12"));
    ASSERT_TRUE(german.Write(kGermanOptions, "QuizNumQ", "30"));
    FileSettingsStore reader(dir / "settings");
    EXPECT_EQ(reader.Read(kGermanOptions, "QuizNumQ"), "30");
    EXPECT_EQ(reader.Read(kEnglishOptions, "QuizNumQ"), "12");
}

TEST(SettingsFile, DefaultPathFollowsTheXdgConfigFolder) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/cfg/home/", 1);
    EXPECT_EQ(FileSettingsStore::DefaultPath(), "/cfg/home/Quillmarsh/settings");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_NE(FileSettingsStore::DefaultPath().find("/.config/Quillmarsh/settings"), std::string::npos);
    old ? setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}
