#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "EnvGuard.h"
#include "Fakes.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "TempFolder.h"

using namespace LowLevel;
namespace fs = std::filesystem;
using Services::PrintStatus;

TEST(LowLevel, UnitsColoursAndByteOrder) {
    const std::pair<double, int> mm[] = {{1, 57}, {10, 567}, {15, 850}, {25, 1418}, {-15, -850}, {0.5, 28}};
    for (const auto& [in, twips] : mm) EXPECT_EQ(MmToTwips(in), twips) << in;  // halves to even
    EXPECT_DOUBLE_EQ(TwipsToMm(1134), 20.0);
    EXPECT_EQ(SplitRGB(0x0000FF), (Rgb{255, 0, 0}));  // red in the lowest byte
    EXPECT_EQ(SplitRGB(0xFF0000), (Rgb{0, 0, 255}));
    EXPECT_TRUE(StrGreater("ab", "a"));
    EXPECT_TRUE(StrGreater("a", "B"));     // binary: lower case after upper case
    EXPECT_TRUE(StrGreater("\xE4", "z"));  // cp1252 "ä" after every ASCII letter
    EXPECT_FALSE(StrGreater("a", "a"));
    const std::pair<int, int> combo[] = {{0, 2}, {1, 1}, {19, 19}, {20, 22}, {5000, 22}};
    for (const auto& [count, visible] : combo) EXPECT_EQ(ComboVisibleItems(count), visible) << count;
}

TEST(LowLevel, DocumentsFolderFollowsXdgAndIsCreated) {
    TempFolder dir;
    fs::path home = dir.Path();
    EnvGuard h("HOME", home.string());
    EnvGuard cfg("XDG_CONFIG_HOME", std::nullopt);
    std::string path = "unchanged";
    {  // No settings at all: ~/Documents, created.
        EnvGuard d("XDG_DOCUMENTS_DIR", std::nullopt);
        ASSERT_TRUE(GetDocDir(0, path));
        EXPECT_EQ(path, (home / "Documents").string());
        EXPECT_TRUE(fs::is_directory(path));
        // user-dirs.dirs names another folder.
        fs::create_directories(home / ".config");
        TempFolder::Put(home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        ASSERT_TRUE(GetDocDir(1, path));
        EXPECT_EQ(path, (home / "Dokumente").string());
        EXPECT_TRUE(fs::is_directory(path));
    }
    {  // The environment wins over the file.
        EnvGuard d("XDG_DOCUMENTS_DIR", (home / "Env/Docs/").string());
        ASSERT_TRUE(GetDocDir(0, path));
        EXPECT_EQ(path, (home / "Env/Docs").string());
    }
    {  // A folder that cannot be created leaves the path alone.
        TempFolder::Put(home / "afile", "x");
        EnvGuard d("XDG_DOCUMENTS_DIR", (home / "afile/sub").string());
        path = "unchanged";
        EXPECT_FALSE(GetDocDir(0, path));
        EXPECT_EQ(path, "unchanged");
    }
}

// A link opens a web address or a plain mail address, never a local file
// (by any spelling), a mail that attaches one, a program or another scheme.
TEST(LowLevel, OnlyWebAndPlainMailAddressesAreOpened) {
    TempFolder dir;
    for (const char* name : {"letter.pdf", "script.sh"}) TempFolder::Put(dir / name, "x");
    const struct {
        std::string target;
        ShellTarget kind;
    } cases[] = {
        {"https://example.org/names?q=Anna", ShellTarget::Web},
        {"HTTP://example.org", ShellTarget::Web},
        {"mailto:someone@example.org", ShellTarget::Mail},
        {"mailto:a%40b.org?subject=Hi%20there&body=x&cc=c@d.org&", ShellTarget::Mail},
        {"mailto:a@b.org?attach=/etc/passwd", ShellTarget::Refused},
        {"mailto:a@b.org?subject=x&Attachment=file:///home/u/.ssh/id_rsa", ShellTarget::Refused},
        {"mailto:a@b.org?%61ttach=/etc/passwd", ShellTarget::Refused},
        {"mailto:a@b.org%3Fattach=/etc/passwd", ShellTarget::Refused},
        {"mailto:?subject=no%20address", ShellTarget::Refused},
        {"mailto:", ShellTarget::Refused},
        {dir / "letter.pdf", ShellTarget::Refused},
        {"file://" + (dir / "letter.pdf"), ShellTarget::Refused},
        {"FILE:" + (dir / "letter.pdf"), ShellTarget::Refused},
        {"letter.pdf", ShellTarget::Refused},
        {"../../../etc/passwd", ShellTarget::Refused},
        {"./script.sh", ShellTarget::Refused},
        {dir / "script.sh", ShellTarget::Refused},
        {dir.Path(), ShellTarget::Refused},
        {"/bin/sh", ShellTarget::Refused},
        {"ftp://example.org", ShellTarget::Refused},
        {"javascript:alert(1)", ShellTarget::Refused},
        {"smb://host/share", ShellTarget::Refused},
        {"https://", ShellTarget::Refused},
        {"https:///etc/passwd", ShellTarget::Refused},
        {"https://exa mple.org", ShellTarget::Refused},
        {"https://example.org\n/bin/sh", ShellTarget::Refused},
        {"", ShellTarget::Refused},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyShellTarget(c.target), c.kind) << c.target;
    // Only what passes reaches the shell.
    EXPECT_TRUE(ShellOpen("https://example.org"));
    EXPECT_FALSE(ShellOpen(dir / "letter.pdf"));
    Fakes().shell.result = false;
    EXPECT_FALSE(ShellOpen("mailto:a@b.c"));
    EXPECT_EQ(Fakes().shell.opened, (std::vector<std::string>{"https://example.org", "mailto:a@b.c"}));
}

// A clicked link the desktop cannot open: an address is shown to copy, the
// mail address alone; a refused target says nothing.
TEST(LowLevel, ALinkNoProgramOpensShowsItsAddress) {
    TempFolder dir;
    TempFolder::Put(dir / "letter.pdf", "x");
    Fakes().shell.result = false;
    const struct {
        std::string target, address, shown;
    } cases[] = {
        {"https://example.org/names?q=Anna", "", "https://example.org/names?q=Anna"},
        {"mailto:info%40example.org?subject=Hello%20you", "", "info@example.org"},
        {"https://example.org/page?from=13", "https://example.org/page", "https://example.org/page"},
        {dir / "letter.pdf", "", ""},
        {"mailto:a@b.org?attach=" + (dir / "letter.pdf"), "", ""},
        {"javascript:alert(1)", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ShellOpenOrShow(c.target, c.address));
        const auto shown = Fakes().TakeMessages();
        ASSERT_EQ(shown.size(), c.shown.empty() ? 0u : 1u) << c.target;
        if (!shown.empty()) {
            EXPECT_EQ(shown[0].number, GenMsg::GMnoProgramForAddress);
            EXPECT_EQ(shown[0].arg, c.shown);
        }
    }
    EXPECT_EQ(Fakes().shell.opened.size(), 3u);  // the refused ones never reach the desktop
    EXPECT_EQ(Services::BusyDepth(), 0);
    Fakes().shell.result = true;
    EXPECT_TRUE(ShellOpenOrShow("https://example.org"));
    EXPECT_TRUE(Fakes().TakeMessages().empty());
}

TEST(LowLevelPrint, PageGeometry) {
    // A4 at 600 dpi with a printable area starting 1/6 inch in.
    DeviceCaps a4{4960, 7016, 100, 100, 600, 600};
    PageGeometry g;
    ASSERT_EQ(ComputePageGeometry(a4, {20, 15, 25, 10}, g), PrintStatus::Ok);
    EXPECT_NEAR(g.lineWidth, 11904 - 1418 - 567, 1e-6);
    EXPECT_EQ(g.left, 1418 - 240);  // the margins count from the paper's edge
    EXPECT_EQ(g.top, 1134 - 240);
    struct Bad { DeviceCaps caps; Services::PageMargins mm; PrintStatus status; } bad[] = {
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
