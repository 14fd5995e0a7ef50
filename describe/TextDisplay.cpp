#include "TextDisplay.h"

#include <algorithm>
#include <charconv>
#include <type_traits>

#include "Basic.h"
#include "Errors.h"
#include "Parser.h"
#include "TextConstants.h"

static_assert(std::is_same_v<CharWidths, LowLevel::CharWidthTable>, "one width table type");

namespace {

constexpr const char* kNewLine = "\r\n";
constexpr unsigned char kNoBreakSpace = 160;

void AppendInt(std::string& out, long long n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TextDisplay::Environment& TextDisplay::Env() {
    static Environment env;
    return env;
}

TextDisplay::~TextDisplay() {
    RichTextBox* box = box_;
    box_ = nullptr;
    if (box) box->BindEvents(nullptr);
}

// --- Set-up and properties ------------------------------------------------------

void TextDisplay::Init(const std::string& name, RichTextBox* box, LinkOwner* owner) {
    if (box_ && box_ != box) {
        RichTextBox* old = box_;
        box_ = nullptr;
        old->BindEvents(nullptr);
    }
    name_ = name;
    box_ = box;
    owner_ = owner;
    if (box_) box_->BindEvents(this);
    text_.clear();
    headerLength_ = 0;
    colours_.clear();
    SetTabPos(HeadingColumnMm());
    fontSize_ = 18;
    active_ = true;
    withLinks_ = true;
    linkMarkers_ = true;
    width_ = 0;
    bold_ = false;
    expand_ = false;
}

void TextDisplay::ToolTipText(const std::string& text) {
    if (box_) box_->SetToolTipText(text);
}

double TextDisplay::HeadingColumnMm() {
    // 49 mm hold every English heading with its help mark and leader dots;
    // the German "Themengebiete der Herkunft" with its mark would run into
    // the values.
    return TextConstants::textLanguage == 0 ? 53 : 49;
}

void TextDisplay::SetTabPos(double mm) { tabPos_ = LowLevel::MmToTwips(mm); }

double TextDisplay::GetTabPos() const { return LowLevel::TwipsToMm(tabPos_); }

void TextDisplay::Resize(double height, double width) {
    if (box_) box_->Resize(height, width);
}

// --- Building -----------------------------------------------------------------

void TextDisplay::BeginText() {
    text_ = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2055";
    text_ += "{\\fonttbl {\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}";
    text_ += kNewLine;
    headerLength_ = text_.size();
}

void TextDisplay::BeginPara() {
    text_ += "\\uc1\\pard\\fi-";
    AppendInt(text_, tabPos_);
    text_ += "\\li";
    AppendInt(text_, tabPos_);
    text_ += "\\tx";
    AppendInt(text_, tabPos_);
    text_ += "\\ulnone\\f0\\fs";
    AppendInt(text_, fontSize_);
    text_ += ' ';
    width_ = 0;
    bold_ = false;
}

void TextDisplay::AddTab() { text_ += "\\tab "; }

void TextDisplay::AddStr(const std::string& s) {
    static const char* const kHex = "0123456789ABCDEF";
    // Characters that stand for themselves, appended a run at a time.
    auto plain = [](unsigned char c) { return (c >= 0x20 || c == '\t') && c < 128 && c != '\\' && c != '{' && c != '}'; };
    const char* p = s.data();
    const char* const end = p + s.size();
    while (p < end) {
        const char* run = p;
        while (p < end && plain(static_cast<unsigned char>(*p))) ++p;
        text_.append(run, static_cast<std::size_t>(p - run));
        if (p == end) break;
        const char ch = *p++;
        auto c = static_cast<unsigned char>(ch);
        // Control bytes (a list file may hold any byte) are never shown, and
        // raw in an exported RTF file a NUL cuts it short for some readers:
        // they are left out. A TAB is the tab it stands for.
        if (c < 0x20 && c != '\t') continue;
        if (c == '\\' || c == '{' || c == '}') {
            text_ += '\\';
            text_ += ch;
        } else if (c >= 128) {
            text_ += "\\'";
            text_ += kHex[c >> 4];
            text_ += kHex[c & 15];
        } else {
            text_ += ch;
        }
    }
    if (expand_) AddWidths(s);
}

void TextDisplay::BeginColor(uint32_t colour) {
    text_ += "\\cf";
    AppendInt(text_, ColourNumber(colour));
    text_ += ' ';
}

void TextDisplay::EndColor() { text_ += "\\cf0 "; }

void TextDisplay::BeginBackColor(uint32_t colour) {
    text_ += "\\cb";
    AppendInt(text_, ColourNumber(colour));
    text_ += ' ';
}

void TextDisplay::EndBackColor() { text_ += "\\cb0 "; }
void TextDisplay::BeginUnderline() { text_ += "\\ul1 "; }
void TextDisplay::EndUnderline() { text_ += "\\ul0 "; }

void TextDisplay::BeginBold() {
    text_ += "\\b1 ";
    bold_ = true;
}

void TextDisplay::EndBold() {
    text_ += "\\b0 ";
    bold_ = false;
}

void TextDisplay::BeginExpand() { expand_ = true; }

int TextDisplay::DotCount() const {
    if (width_ == 0) return 0;
    const CharWidths* table = Widths(bold_);
    int dot = table ? (*table)[' '] + (*table)['.'] : 0;
    // Without measured widths there is nothing to fill by: no dots rather
    // than a division by zero.
    if (dot <= 0) return 0;
    int n = tabPos_ / static_cast<int>(LowLevel::kTwipsPerPixel) - width_ - 4;
    return std::max(0, n / dot);
}

void TextDisplay::EndExpand() {
    expand_ = false;
    int n = DotCount();
    if (n <= 0) return;
    std::string dots;
    dots.reserve(2 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) dots += " .";
    AddStr(dots);
}

void TextDisplay::AddLink(const LinkTarget& a) { AddNumLink(a.text, a.id, a.colour, kNoBackColour); }

void TextDisplay::AddNumLink(const std::string& text, int32_t id, uint32_t colour, uint32_t back) {
    if (!linkMarkers_) {
        BeginColor(colour);
        AddStr(text);
        EndColor();
        return;
    }
    // A link text never breaks between its words.
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), ' ', static_cast<char>(kNoBreakSpace));

    BeginColor(colour);
    if (back != kNoBackColour) BeginBackColor(back);
    BeginUnderline();
    AddStr(shown);
    EndUnderline();
    EndColor();
    if (back != kNoBackColour) EndBackColor();

    // The hidden marker. The size control word after the digits ends the
    // number, so text written right after the link never joins it.
    BeginColor(kWhite);
    text_ += "\\fs0 #";
    AppendInt(text_, id);
    text_ += "\\fs";
    AppendInt(text_, fontSize_);
    if (expand_) width_ += 3;
    AddStr(" ");
    EndColor();
    withLinks_ = true;
}

void TextDisplay::AddStrWithMarks(const std::string& s, bool links, std::vector<std::string>* unknown) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t p = s.find('<', pos);
        if (p == std::string::npos) {
            AddStr(s.substr(pos));
            return;
        }
        AddStr(s.substr(pos, p - pos));
        std::size_t q = s.find('>', p + 1);
        if (q == std::string::npos) {
            AddStr(s.substr(p));  // not a tag: the text as it is
            return;
        }
        std::string tag = Parser::PlatformUpper(s.substr(p + 1, q - p - 1));
        pos = q + 1;
        if (tag == "B") {
            BeginBold();
        } else if (tag == "/B") {
            EndBold();
        } else if (tag == "BR") {
            EndPara();
            BeginPara();
        } else if (tag == "SMALL") {
            // An empty spacer line 1.5 points high.
            EndPara();
            int size = fontSize_;
            SetFontSize(3);
            BeginPara();
            EndPara();
            SetFontSize(size);
            BeginPara();
        } else if (tag == "A") {
            std::size_t close = s.find("</a>", q);
            if (close == std::string::npos) {
                AddStr(s.substr(p));
                return;
            }
            std::string inner = s.substr(q + 1, close - q - 1);
            std::size_t slash = inner.find('/');
            std::string name = slash == std::string::npos ? inner : inner.substr(0, slash);
            LinkTarget target;
            if (Env().findAtom) target = Env().findAtom(name);
            pos = close + 4;
            if (links && target.shown) {
                if (target.bold) BeginBold();
                AddLink(target);
                if (target.bold) EndBold();
                // The blank after the link stays: the marker takes no room,
                // so dropping the blank would join the link to the next word.
            } else {
                BeginBold();
                if (target.shown)
                    AddStr(target.text);
                else if (slash != std::string::npos)
                    AddStr(inner.substr(slash + 1));
                else
                    AddStr(Basic::Mid(name, 3));
                EndBold();
            }
        } else if (unknown) {
            unknown->push_back(s.substr(p + 1, q - p - 1));
        } else {
            Errors::Assert(false, "AddStrWithMarks " + tag);
        }
    }
}

void TextDisplay::EndPara() {
    text_ += "\\par";
    text_ += kNewLine;
}

void TextDisplay::EndText() {
    text_ += "\\pard\\par";
    text_ += kNewLine;
    text_ += "}";
    text_ += kNewLine;
    text_.insert(std::min(headerLength_, text_.size()), ColourTable());
}

void TextDisplay::DisplayText() {
    if (active_ && box_) box_->ShowRtf(text_);
}

// --- Colours --------------------------------------------------------------------

int TextDisplay::ColourNumber(uint32_t colour) {
    // Only the three colour bytes: a system colour's flag byte would give a
    // blue beyond 255, which no colour table can hold.
    Rgb c = LowLevel::SplitRGB(static_cast<int32_t>(colour & 0xFFFFFF));
    for (std::size_t i = 0; i < colours_.size(); ++i)
        if (LowLevel::SameRGB(colours_[i], c)) return static_cast<int>(i) + 1;
    colours_.push_back(c);
    return static_cast<int>(colours_.size());
}

std::string TextDisplay::ColourTable() const {
    std::string t = "{\\colortbl ;";
    for (const Rgb& c : colours_) {
        t += "\\red";
        AppendInt(t, c.red);
        t += "\\green";
        AppendInt(t, c.green);
        t += "\\blue";
        AppendInt(t, c.blue);
        t += ';';
    }
    t += "}";
    t += kNewLine;
    return t;
}

// --- Widths -----------------------------------------------------------------------

const CharWidths* TextDisplay::Widths(bool boldTable) const {
    LowLevel::EnsureCharWidths();
    return boldTable ? Env().widthsBold : Env().widthsNormal;
}

void TextDisplay::AddWidths(const std::string& s) {
    const CharWidths* table = Widths(bold_);
    if (!table) return;
    for (char ch : s) width_ += (*table)[static_cast<unsigned char>(ch)];
}

// --- Events -------------------------------------------------------------------------

void TextDisplay::LinkClicked(const std::string& number) {
    if (!LinksLive() || !owner_ || !AllDigits(number)) return;
    if (Env().actionBlocked && Env().actionBlocked()) return;
    owner_->Notify(0, number);
}

void TextDisplay::BoxLost(RichTextBox* box) {
    if (box == box_) box_ = nullptr;
}
