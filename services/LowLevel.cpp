#include "LowLevel.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "Basic.h"
#include "Cp1252.h"
#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"

namespace LowLevel {

namespace fs = std::filesystem;

// --- Units ---------------------------------------------------------------------

int MmToTwips(double mm) { return Basic::CLng(mm * kTwipsPerMm); }
double TwipsToMm(int twips) { return twips / kTwipsPerMm; }
double TwipsToPixels(double v) { return v / kTwipsPerPixel; }
double PixelsToTwips(double v) { return v * kTwipsPerPixel; }

// --- Colours -------------------------------------------------------------------

Rgb SplitRGB(int32_t colour) {
    // Integer division and remainder truncate toward zero, as the colour
    // values of the options were always split.
    Rgb c;
    c.red = colour % 256;
    c.green = (colour / 256) % 256;
    c.blue = colour / 65536;
    return c;
}

bool SameRGB(const Rgb& a, const Rgb& b) { return a == b; }

bool StrGreater(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                        [](char x, char y) {
                                            return static_cast<unsigned char>(x) <
                                                   static_cast<unsigned char>(y);
                                        });
}

// --- Character widths ------------------------------------------------------------

CharWidthTable charWidthForm{};
CharWidthTable charWidthArial{};
CharWidthTable charWidthArialBold{};

namespace {
std::function<void()>& Measurer() {
    static std::function<void()> measure;
    return measure;
}
}  // namespace

void SetCharWidthMeasurer(std::function<void()> measure) { Measurer() = std::move(measure); }

void EnsureCharWidths() {
    if (!Measurer()) return;  // the common case: measured already
    // Taken out first: a measurer that reads the tables sees them as they are.
    std::function<void()> measure = std::exchange(Measurer(), nullptr);
    measure();
}

int TextWidth(const CharWidthTable& table, const std::string& text) {
    int w = 0;
    for (char c : text) w += table[static_cast<unsigned char>(c)];
    return w;
}

// --- Folders ---------------------------------------------------------------------

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// "$HOME/Documents" -> home + "/Documents"; an absolute path stays; anything
// else is not a usable value.
std::string ExpandHome(const std::string& value, const std::string& home) {
    if (value.rfind("$HOME", 0) == 0) {
        if (home.empty()) return {};
        std::string rest = value.substr(5);
        if (!rest.empty() && rest[0] != '/') return {};
        return home + rest;
    }
    if (!value.empty() && value[0] == '/') return value;
    return {};
}

// The XDG_DOCUMENTS_DIR line of user-dirs.dirs, expanded; "" when absent.
std::string FromUserDirsFile(const std::string& home) {
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') {
        if (home.empty()) return {};
        config = home + "/.config";
    }
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return ExpandHome(value, home);
    }
    return {};
}

}  // namespace

bool GetDocDir(int /*common*/, std::string& path) {
    std::string home = Env("HOME");
    std::string dir = ExpandHome(Env("XDG_DOCUMENTS_DIR"), home);
    if (dir.empty()) dir = FromUserDirsFile(home);
    if (dir.empty() && !home.empty() && home[0] == '/') dir = home + "/Documents";
    if (dir.empty()) return false;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();

    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return false;
    path = dir;
    return true;
}

bool DesktopDocumentsFolder(std::string& folder) {
    std::string native;
    if (!GetDocDir(0, native)) return false;
    folder = FileOp::FromNative(native);
    return true;
}

std::function<bool(std::string&)> DocumentsFolder = DesktopDocumentsFolder;

std::string DocumentsFolderOrEmpty() {
    std::string folder;
    if (!DocumentsFolder || !DocumentsFolder(folder)) return {};
    return folder;
}

// --- Shell ------------------------------------------------------------------------

namespace {

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && Basic::EqualsNoCaseAscii(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%" and two hex digits as the byte they stand for ("a%40b.org" -> "a@b.org").
std::string PercentDecoded(const std::string& encoded) {
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && HexDigit(encoded[i + 1]) >= 0 &&
            HexDigit(encoded[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(encoded[i + 1]) * 16 + HexDigit(encoded[i + 2]));
            i += 2;
        } else {
            out += encoded[i];
        }
    }
    return out;
}

// A mail address the mail program may be handed: one address, and of the
// parameters only those that fill in the new mail's fields. Mail programs
// take others that attach a local file to the mail ("attach=",
// "attachment=", spelt in any case or with percent escapes), so a parameter
// not known harmless refuses the whole address.
bool IsPlainMailAddress(const std::string& afterScheme) {
    const std::size_t query = afterScheme.find('?');
    const std::string address = PercentDecoded(afterScheme.substr(0, query));
    if (address.empty() || address.find_first_of("?&") != std::string::npos) return false;
    if (query == std::string::npos) return true;
    static const char* const fields[] = {"subject", "body", "cc", "bcc", "to"};
    const std::string params = afterScheme.substr(query + 1);
    for (std::size_t start = 0; start <= params.size();) {
        std::size_t end = params.find('&', start);
        if (end == std::string::npos) end = params.size();
        const std::string param = params.substr(start, end - start);
        start = end + 1;
        if (param.empty()) continue;
        const std::string name = Basic::UpperAscii(PercentDecoded(param.substr(0, param.find('='))));
        bool known = false;
        for (const char* f : fields) known = known || name == Basic::UpperAscii(f);
        if (!known) return false;
    }
    return true;
}

}  // namespace

ShellTarget ClassifyShellTarget(const std::string& target) {
    for (char c : target) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == ' ') return ShellTarget::Refused;
    }
    if (StartsWithNoCase(target, "http://") || StartsWithNoCase(target, "https://")) {
        std::size_t host = target.find("://") + 3;
        if (host >= target.size() || target[host] == '/') return ShellTarget::Refused;
        return ShellTarget::Web;
    }
    if (StartsWithNoCase(target, "mailto:") && IsPlainMailAddress(target.substr(7))) return ShellTarget::Mail;
    // Everything else: local files (by path, file: address, relative or
    // through ".."), programs and other schemes. The links of the program and
    // of its data are web and mail addresses only.
    return ShellTarget::Refused;
}

bool ShellOpen(const std::string& target) {
    if (ClassifyShellTarget(target) == ShellTarget::Refused) return false;
    Services::HourglassOn();
    const bool opened = Services::TheShell().Open(target);
    Services::HourglassOff();
    return opened;
}

bool ShellOpenOrShow(const std::string& target, const std::string& address) {
    const ShellTarget kind = ClassifyShellTarget(target);
    if (kind == ShellTarget::Refused) {
        // Only a file that was tampered with gives such a link: it does nothing,
        // and the target is not shown, where a user might be led to copy it.
        std::string logged = target.substr(0, 200);
        for (char& c : logged)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        Errors::LogEntry("LowLevel", "ShellOpenOrShow", "refused " + logged);
        return false;
    }
    if (ShellOpen(target)) return true;
    std::string shown = address;
    if (shown.empty() && kind == ShellTarget::Mail) {
        const std::string mail = target.substr(7);  // after "mailto:"
        shown = PercentDecoded(mail.substr(0, mail.find('?')));
    }
    if (shown.empty()) shown = target;
    GenMsg::ShowMsg(GenMsg::GMnoProgramForAddress, GenMsg::kInformation, shown);
    return false;
}

// --- Help -------------------------------------------------------------------------

std::string DescrHelpTopic(long id) {
    static const char* const topics[kLastHelpMark - kFirstHelpMark + 1] = {
        "GLForeignWord", "GLOrigInfo", "GLOrigLang", "GLVariants", "GLOrigName", "GLSaints",
        "GLGenName",     "GLMale",     nullptr,      "GLName",     "GLGender",   "GLUseLang",
        "GLVariantOf",   "GLComment",  "GLRelatedTo", "GLShortOf", "GLDimNameOf", "GLOrigRealm",
        "GLGerman",      "GLWriteVarOf", "GLWriteVar", "GLDimName", "GLShort",   "GLPop",
    };
    if (id < kFirstHelpMark || id > kLastHelpMark) {
        Errors::Assert(false, "ShowDescrHelp " + std::to_string(id));
        return {};
    }
    const char* topic = topics[id - kFirstHelpMark];
    // The heading of mark 40008 has no name of its own: its topic is the number.
    return topic ? std::string(topic) : std::to_string(id);
}

void ShowHelpTopic(const std::string& name) { Services::TheHelp().ShowTopic(name); }

void ShowDescrHelp(long id) { ShowHelpTopic(DescrHelpTopic(id)); }

// --- Drop-down height --------------------------------------------------------------

int ComboVisibleItems(int count) {
    if (count <= 0) return 2;
    if (count < 20) return count;
    return 22;
}

// --- Printing ------------------------------------------------------------------

Services::PrintStatus ComputePageGeometry(const DeviceCaps& caps, const Services::PageMargins& mm,
                                          PageGeometry& out) {
    using Services::PrintStatus;
    if (!(caps.dpiX > 0) || !(caps.dpiY > 0)) return PrintStatus::BadResolution;
    PageGeometry g;
    g.pageWidth = caps.physicalWidth / caps.dpiX * kTwipsPerInch;
    g.pageHeight = caps.physicalHeight / caps.dpiY * kTwipsPerInch;
    g.offsetX = Basic::CLng(caps.physicalOffsetX / caps.dpiX * kTwipsPerInch);
    g.offsetY = Basic::CLng(caps.physicalOffsetY / caps.dpiY * kTwipsPerInch);
    g.lineWidth = g.pageWidth - MmToTwips(mm.left) - MmToTwips(mm.right);
    g.pageTextHeight = g.pageHeight - MmToTwips(mm.top) - MmToTwips(mm.bottom);
    if (!(g.lineWidth > 0) || !(g.pageTextHeight > 0)) return PrintStatus::MarginsTooLarge;
    g.left = MmToTwips(mm.left) - g.offsetX;
    g.top = MmToTwips(mm.top) - g.offsetY;
    g.right = Basic::CLng(g.left + g.lineWidth);
    g.bottom = Basic::CLng(g.top + g.pageTextHeight);
    out = g;
    return PrintStatus::Ok;
}

Services::PrintStatus PaginateLines(const std::vector<LineExtent>& lines, double pageHeight,
                                    std::vector<PageRange>& pages) {
    using Services::PrintStatus;
    pages.clear();
    if (!(pageHeight > 0)) return PrintStatus::NoProgress;
    if (lines.empty()) {
        pages.push_back(PageRange{});
        return PrintStatus::Ok;
    }
    std::size_t i = 0;
    while (i < lines.size()) {
        const double y0 = lines[i].top;
        std::size_t j = i;
        double bottom = y0;
        while (j < lines.size() && lines[j].bottom - y0 <= pageHeight) {
            bottom = std::max(bottom, lines[j].bottom);
            ++j;
        }
        if (j == i) {
            // Not even one line fits on an empty page: every further page
            // would be the same empty page.
            pages.clear();
            return PrintStatus::NoProgress;
        }
        pages.push_back(PageRange{i, j, y0, bottom});
        i = j;
    }
    return PrintStatus::Ok;
}

}  // namespace LowLevel
