#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>

#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "Options.h"
#include "SettingsStore.h"
#include "TempFolder.h"

using namespace FileOp;

TEST(OpenFile, PathIsTheNameInTheProgramFolderAndMissingFilesAreShown) {
    TempFolder dir;
    TempFolder::Put(dir / "Talv1Dat.bin", "data");
    std::string path;
    ProgramFolder = dir.Path() + "/";
    ASSERT_TRUE(OpenFile("Talv1Dat.bin", "", 1, "B", "Database", path));
    EXPECT_EQ(path, dir / "Talv1Dat.bin");  // one "/" between folder and name
    EXPECT_TRUE(CloseFile("Talv1Dat.bin", 1));
    EXPECT_EQ(Input(1), nullptr);
    ProgramFolder = "/nowhere";
    ASSERT_TRUE(OpenFile(dir / "Talv1Dat.bin", "", 1, "I", "", path));
    CloseFile("x", 1);
    // A missing file shows "not found" with its kind.
    ProgramFolder = dir.Path();
    EXPECT_FALSE(OpenFile("Tutor1.txt", "", 1, "I", "Tutorial", path));
    EXPECT_FALSE(OpenFile("Other.bin", "", 1, "B", "", path));
    auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].number, GenMsg::GMfileNotFound);
    EXPECT_EQ(shown[0].arg + "|" + shown[1].arg, dir / "Tutor1.txt (Tutorial)|" + dir / "Other.bin");
    EXPECT_FALSE(OpenFile("x", "", 1, "X", "", path));
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** OpenFile mode X"});
}

TEST(OpenFile, RefusedOpenAsksAndRetriesWhileTheAnswerIsYes) {
    TempFolder dir;
    TempFolder::Put(dir / "names.txt", "Anna\n");
    std::string path;
    for (bool retry : {true, false}) {
        TestFaults().openErrno = EACCES, TestFaults().openTimes = 2;
        Fakes().Answer({true, retry});
        bool ok = OpenFile(dir / "names.txt", "", 1, "I", "", path);
        EXPECT_EQ(ok, retry);
        auto shown = Fakes().TakeMessages();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].number, GenMsg::GMpermissionDenied);
        EXPECT_EQ(shown[0].arg, dir / "names.txt");
        EXPECT_EQ(Input(1) != nullptr, retry);
        CloseFile("names.txt", 1);
    }
    // An error without a message of its own is not asked and not retried.
    TestFaults().openErrno = EINVAL, TestFaults().openTimes = 1;
    EXPECT_FALSE(OpenFile(dir / "names.txt", "", 1, "I", "", path));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMotherDiskError});
}

TEST(OpenFile, WritingReplacesTheOldFileOnlyWhenComplete) {
    TempFolder dir;
    std::string target = dir / "Talv1User.txt";
    TempFolder::Put(target, "old contents\r\n");
    ::chmod(target.c_str(), 0640);
    std::string path;
    // The close fails once and the user tries again: the new file is complete.
    // (Giving up keeps the old file: see the settings and user-file tests.)
    ASSERT_TRUE(OpenFile(target, "", 2, "O", "", path));
    Output(2)->Write("new contents\r\n");
    TestFaults().commitErrno = EIO, TestFaults().commitTimes = 1;
    Fakes().Answer({true});
    EXPECT_TRUE(CloseFile("Talv1User.txt", 2));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMinternalDiskError});
    EXPECT_EQ(TempFolder::Get(target), "new contents\r\n");
    EXPECT_EQ(dir.Count(), 1);
    struct stat st{};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the file keeps its permissions
}

TEST(AtomicWrite, RefusesWhatIsNotAnOrdinaryFile) {
    TempFolder dir;
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(WriteFileAtomically(dir / "folder", "x"), kErrNotAFile);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(WriteFileAtomically(dir / "pipe", "x"), kErrNotAFile);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
    TempFolder::Put(dir / "file", "x");
    EXPECT_EQ(WriteFileAtomically(dir / "file/sub", "x"), kErrPathNotFound);
    // A link is followed: the file it points to is replaced, the link stays.
    std::filesystem::create_symlink(dir / "file", dir / "link");
    EXPECT_EQ(WriteFileAtomically(dir / "link", "through"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(TempFolder::Get(dir / "file"), "through");
}

// Only an ordinary file opens for reading, and nothing else makes the open
// wait: a pipe would wait for a writer for ever. (Run in a child process
// that an alarm ends, so that a wait fails the test instead of hanging it.)
TEST(InputFile, OnlyAnOrdinaryFileOpensAndNothingWaits) {
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "loop", dir / "loop");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    TempFolder::Put(dir / "file", "x");
    const struct Case {
        std::string path;
        int error;
    } cases[] = {{dir / "pipe", kErrNotAFile},    {dir / "folder", kErrNotAFile},  {"/dev/null", kErrNotAFile},
                 {dir / "loop", kErrFileNotFound}, {dir / "dangling", kErrFileNotFound}, {dir / "file", 0}};
    auto inChild = [](const std::function<int()>& what) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(5);
            std::_Exit(what());
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inChild([&] { return InputFile().Open(c.path); }), c.error) << c.path;
    }
    // The settings store in place of a pipe: no values, and no wait.
    EXPECT_EQ(inChild([&] { return FileSettingsStore(dir / "pipe").Read("Options", "x") ? 1 : 0; }), 0);
}

// A save removes the temporary files that saves of its target killed
// part-way left behind, and never the one a save still running holds.
TEST(AtomicWrite, RemovesLeftoversOfItsTargetButNotASaveRunning) {
    TempFolder dir;
    const std::string target = dir / "t.txt";
    TempFolder::Put(target, "old");
    const std::vector<std::string> left = {".t.txt.tmp123-4", ".t.txt.tmp99999-1"};
    const std::vector<std::string> kept = {".t.txt.tmpx", ".t.txt.tmp1-2.keep", ".u.txt.tmp1-2", "t.txt.tmp1-2"};
    for (const std::string& name : left) TempFolder::Put(dir / name, "partial");
    for (const std::string& name : kept) TempFolder::Put(dir / name, "other");
    // One left by a save of another process, still running: it holds its lock.
    TempFolder::Put(dir / ".t.txt.tmp77-1", "running");
    const int held = ::open((dir / ".t.txt.tmp77-1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // And a second save of this process, begun before.
    AtomicFile second(target);
    ASSERT_EQ(second.Open(), 0);

    EXPECT_EQ(WriteFileAtomically(target, "new"), 0);
    for (const std::string& name : left) EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
    EXPECT_TRUE(std::filesystem::exists(dir / ".t.txt.tmp77-1"));
    EXPECT_EQ(TempFolder::Get(target), "new");
    // The second save completes as if alone.
    second.Write("second");
    EXPECT_EQ(second.Commit(), 0);
    EXPECT_EQ(TempFolder::Get(target), "second");
    ::close(held);
    // Its holder gone, the lock goes with it: the next save removes it.
    EXPECT_EQ(WriteFileAtomically(target, "third"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / ".t.txt.tmp77-1"));
    EXPECT_EQ(dir.Count(), 1 + static_cast<int>(kept.size()));
}

TEST(ReadTextLines, EveryKindOfLineEndAndFailures) {
    TempFolder dir;
    struct Case { std::string bytes; std::vector<std::string> lines; } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"\n\n", {"", ""}}, {"a\r\n\r\nb\r", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}}, {"", {}}, {"M\xFCller\tx", {"M\xFCller\tx"}},
    };
    for (const auto& c : cases) {
        TempFolder::Put(dir / "t.txt", c.bytes);
        std::vector<std::string> lines{"stale"};
        EXPECT_EQ(ReadTextLines(dir / "t.txt", lines), 0);
        EXPECT_EQ(lines, c.lines) << c.bytes;
    }
    // A CR LF split across the reader's buffer is still one line end.
    std::string big(65535, 'x');
    TempFolder::Put(dir / "big.txt", big + "\r\nlast");
    std::vector<std::string> lines;
    EXPECT_EQ(ReadTextLines(dir / "big.txt", lines), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{big, "last"}));
    // A program path with an accent names the file of the same name.
    TempFolder::Put(dir / "\xC3\x84pfel.txt", "a");
    EXPECT_EQ(ReadTextLines(dir / "\xC4pfel.txt", lines), 0);
    // A file cut short is reported as a failure.
    TempFolder::Put(dir / "t.txt", "one\ntwo\nthree\n");
    TestFaults().readErrno = EIO, TestFaults().readTimes = 1, TestFaults().readAfter = 6;
    EXPECT_EQ(ReadTextLines(dir / "t.txt", lines), kErrDeviceIO);
    EXPECT_EQ(lines, std::vector<std::string>{"one"});  // "tw" was cut short and is not a line
    EXPECT_EQ(ReadTextLines(dir / "missing.txt", lines), kErrFileNotFound);
    EXPECT_TRUE(lines.empty());
}

TEST(SplitPath, FolderAndNameAtTheLastSlash) {
    struct Case { const char *path, *folder, *name; } cases[] = {{"/home/u/Listen/a.onl", "/home/u/Listen", "a.onl"},
                 {"a.onl", "", "a.onl"}, {"/a.onl", "/", "a.onl"}, {"dir/", "dir", ""}, {"", "", ""},
                 {"C:\\x\\y.onl", "", "C:\\x\\y.onl"}};
    for (const auto& c : cases) {
        std::string folder = "junk", name = "junk";
        SplitPath(c.path, folder, name);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

namespace {

// Stands in for the list file format: a list is any non-null pointer.
struct FakeListFormat : ListFileFormat {
    std::shared_ptr<ResultSet> Load(const std::string& path) override {
        loaded.push_back(path);
        if (!ok) GenMsg::ShowMsg(GenMsg::GMstructError, 0, path);  // a reader tells its failure
        return ok ? std::shared_ptr<ResultSet>(std::make_shared<int>(0), reinterpret_cast<ResultSet*>(this)) : nullptr;
    }
    bool Save(const ResultSet&, const std::string& path) override {
        saved.push_back(path);
        if (!ok) GenMsg::ShowMsg(GenMsg::GMdiskFull, 0, path);
        return ok;
    }
    bool ok = true;
    std::vector<std::string> loaded, saved;
};

}  // namespace

TEST(ListFiles, RememberTheirFolderOnlyOnSuccess) {
    FakeListFormat format;
    SetListFileFormat(&format);
    Options::LoadInitDir = Options::SaveInitDir = "/home/user/Documents";
    Fakes().dialogs.openAnswers = {std::nullopt, std::string("/srv/Listen/Anna.onl"), std::string("/srv/x/bad.onl")};
    EXPECT_EQ(LoadListFile(), nullptr);  // cancelled
    EXPECT_TRUE(format.loaded.empty());
    EXPECT_NE(LoadListFile(), nullptr);
    EXPECT_EQ(Options::LoadInitDir, "/srv/Listen");
    EXPECT_EQ(Options::SaveInitDir, "/home/user/Documents");
    format.ok = false;
    EXPECT_EQ(LoadListFile(), nullptr);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMstructError});  // the reader's alone
    EXPECT_EQ(Options::LoadInitDir, "/srv/Listen");
    EXPECT_EQ(Fakes().dialogs.openRequests.at(2).initialDir, "/srv/Listen");

    EXPECT_FALSE(SaveListFile(nullptr));  // no list: no dialog
    Fakes().dialogs.saveAnswers = {std::string("/a/fail.onl"), std::string("/b/ok.onl")};
    const auto* list = reinterpret_cast<const ResultSet*>(&format);
    EXPECT_FALSE(SaveListFile(list));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdiskFull});  // the writer's alone
    EXPECT_EQ(Options::SaveInitDir, "/home/user/Documents");
    format.ok = true;
    EXPECT_TRUE(SaveListFile(list));
    EXPECT_EQ(Options::SaveInitDir, "/b");
    EXPECT_EQ(format.saved, (std::vector<std::string>{"/a/fail.onl", "/b/ok.onl"}));
}
