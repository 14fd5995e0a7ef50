#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "Errors.h"
#include "Fakes.h"
#include "LowLevel.h"

using namespace LowLevel;
namespace fs = std::filesystem;
using Services::PrintStatus;

namespace {

// Sets (or clears) an environment variable for one test and restores it.
class EnvGuard {
public:
    EnvGuard(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvGuard() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

fs::path MakeTempDir(const std::string& name) {
    fs::path dir = fs::path(Errors::GetTempDir()) / ("talv_test_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteFile(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }

}  // namespace

TEST(LowLevelUnits, ConversionsRoundHalvesToEven) {
    const std::pair<double, int> mm[] = {{1, 57}, {10, 567}, {15, 850}, {25, 1418}, {-15, -850}, {0.5, 28}};
    for (const auto& [in, twips] : mm) EXPECT_EQ(MmToTwips(in), twips) << in;
    EXPECT_DOUBLE_EQ(TwipsToMm(1134), 20.0);
}

TEST(LowLevel, ColoursKeepRedLowAndBytesCompareUnsigned) {
    EXPECT_EQ(SplitRGB(0x0000FF), (Rgb{255, 0, 0}));
    EXPECT_EQ(SplitRGB(0xFF0000), (Rgb{0, 0, 255}));
    EXPECT_TRUE(StrGreater("ab", "a"));
    EXPECT_TRUE(StrGreater("a", "B"));     // binary: lower case after upper case
    EXPECT_TRUE(StrGreater("\xE4", "z"));  // cp1252 "ä" after every ASCII letter
    EXPECT_FALSE(StrGreater("a", "a"));
}

TEST(LowLevelFolders, DocumentsFolderFollowsXdgAndIsCreated) {
    fs::path home = MakeTempDir("home");
    EnvGuard h("HOME", home.string());
    EnvGuard cfg("XDG_CONFIG_HOME", std::nullopt);

    {  // No settings at all: ~/Documents, created.
        EnvGuard d("XDG_DOCUMENTS_DIR", std::nullopt);
        std::string path = "unchanged";
        ASSERT_TRUE(GetDocDir(0, path));
        EXPECT_EQ(path, (home / "Documents").string());
        EXPECT_TRUE(fs::is_directory(path));
    }
    {  // user-dirs.dirs names another folder.
        EnvGuard d("XDG_DOCUMENTS_DIR", std::nullopt);
        fs::create_directories(home / ".config");
        WriteFile(home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        std::string path;
        ASSERT_TRUE(GetDocDir(1, path));
        EXPECT_EQ(path, (home / "Dokumente").string());
        EXPECT_TRUE(fs::is_directory(path));
    }
    {  // The environment wins over the file.
        EnvGuard d("XDG_DOCUMENTS_DIR", (home / "Env/Docs/").string());
        std::string path;
        ASSERT_TRUE(GetDocDir(0, path));
        EXPECT_EQ(path, (home / "Env/Docs").string());
    }
    {  // A folder that cannot be created leaves the path alone.
        WriteFile(home / "afile", "x");
        EnvGuard d("XDG_DOCUMENTS_DIR", (home / "afile/sub").string());
        fs::remove(home / ".config/user-dirs.dirs");
        std::string path = "unchanged";
        EXPECT_FALSE(GetDocDir(0, path));
        EXPECT_EQ(path, "unchanged");
    }
    fs::remove_all(home);
}

TEST(LowLevelShell, OnlyAddressesAndDocumentsAreOpened) {
    fs::path dir = MakeTempDir("shell");
    WriteFile(dir / "letter.pdf", "%PDF");
    WriteFile(dir / "script.sh", "#!/bin/sh\n");
    WriteFile(dir / "start.desktop", "[Desktop Entry]\n");
    WriteFile(dir / "tool", "\x7F" "ELF");
    fs::permissions(dir / "tool", fs::perms::owner_exec, fs::perm_options::add);
    fs::create_symlink(dir / "script.sh", dir / "innocent.pdf");

    struct Case {
        std::string target;
        ShellTarget kind;
    };
    const Case cases[] = {
        {"https://example.org/names?q=Anna", ShellTarget::Web},
        {"mailto:someone@example.org", ShellTarget::Mail}, {(dir / "letter.pdf").string(), ShellTarget::Document},
        {"file://" + (dir / "letter.pdf").string(), ShellTarget::Document},
        {(dir / "script.sh").string(), ShellTarget::Refused},
        {(dir / "start.desktop").string(), ShellTarget::Refused}, {(dir / "tool").string(), ShellTarget::Refused},
        {(dir / "innocent.pdf").string(), ShellTarget::Refused}, {dir.string(), ShellTarget::Refused},
        {(dir / "missing.pdf").string(), ShellTarget::Refused},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyShellTarget(c.target), c.kind) << c.target;
    for (const char* t : {"letter.pdf", "/bin/sh", "ftp://example.org", "javascript:alert(1)", "https://",
                          "https://exa mple.org", "https://example.org\n/bin/sh", "mailto:", ""})
        EXPECT_EQ(ClassifyShellTarget(t), ShellTarget::Refused) << t;

    // Only what passes reaches the shell.
    EXPECT_TRUE(ShellOpen("https://example.org"));
    EXPECT_FALSE(ShellOpen((dir / "script.sh").string()));
    Fakes().shell.result = false;
    EXPECT_FALSE(ShellOpen("mailto:a@b.c"));
    EXPECT_EQ(Fakes().shell.opened, (std::vector<std::string>{"https://example.org", "mailto:a@b.c"}));
    fs::remove_all(dir);
}

TEST(LowLevelCombo, DropDownEntries) {
    const std::pair<int, int> cases[] = {{0, 2}, {1, 1}, {19, 19}, {20, 22}, {5000, 22}};
    for (const auto& [count, visible] : cases) EXPECT_EQ(ComboVisibleItems(count), visible) << count;
}

TEST(LowLevelPrint, PageGeometry) {
    // A4 at 600 dpi with a printable area starting 1/6 inch in.
    DeviceCaps a4{4960, 7016, 100, 100, 600, 600};
    PageGeometry g;
    ASSERT_EQ(ComputePageGeometry(a4, {20, 15, 25, 10}, g), PrintStatus::Ok);
    EXPECT_NEAR(g.lineWidth, 11904 - 1418 - 567, 1e-6);
    EXPECT_EQ(g.left, 1418 - 240);  // the margins count from the paper's edge
    EXPECT_EQ(g.top, 1134 - 240);

    struct Bad {
        DeviceCaps caps;
        Services::PageMargins mm;
        PrintStatus status;
    };
    const Bad bad[] = {
        {{4960, 7016, 0, 0, 0, 600}, {10, 10, 10, 10}, PrintStatus::BadResolution},
        {{4960, 7016, 0, 0, -1, 600}, {10, 10, 10, 10}, PrintStatus::BadResolution},
        {a4, {150, 150, 10, 10}, PrintStatus::MarginsTooLarge},
        {a4, {10, 10, 105, 105}, PrintStatus::MarginsTooLarge},
        {{0, 0, 0, 0, 600, 600}, {0, 0, 0, 0}, PrintStatus::MarginsTooLarge},
    };
    for (const auto& b : bad) {
        PageGeometry untouched;
        untouched.left = 12345;
        EXPECT_EQ(ComputePageGeometry(b.caps, b.mm, untouched), b.status);
        EXPECT_EQ(untouched.left, 12345);
    }
}

TEST(LowLevelPrint, PaginationEndsOnEveryInput) {
    std::vector<PageRange> pages;
    ASSERT_EQ(PaginateLines({}, 100, pages), PrintStatus::Ok);
    EXPECT_EQ(pages.size(), 1u);  // no lines: one empty page
    // Ten lines of 30 on pages of 100: 3 + 3 + 3 + 1.
    std::vector<LineExtent> lines;
    for (int i = 0; i < 10; ++i) lines.push_back({i * 30.0, i * 30.0 + 30});
    ASSERT_EQ(PaginateLines(lines, 100, pages), PrintStatus::Ok);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].endLine, 3u);
    EXPECT_DOUBLE_EQ(pages[1].top, 90);
    EXPECT_EQ(pages[3].endLine, 10u);
    ASSERT_EQ(PaginateLines({{0, 100}, {100, 200}}, 100, pages), PrintStatus::Ok);  // exactly as tall fits
    EXPECT_EQ(pages.size(), 2u);
    // A line taller than the page, or no room at all, can never be printed.
    EXPECT_EQ(PaginateLines({{0, 10}, {10, 150}, {150, 160}}, 100, pages), PrintStatus::NoProgress);
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(PaginateLines(lines, 0, pages), PrintStatus::NoProgress);
    EXPECT_EQ(PaginateLines({{0, std::nan("")}}, 100, pages), PrintStatus::NoProgress);
}
