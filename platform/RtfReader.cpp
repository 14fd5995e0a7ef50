#include "RtfReader.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Cp1252.h"

namespace RtfReader {
namespace {

// Deeper nesting than this is skipped: no input can grow the group stack
// without bound.
constexpr int kMaxDepth = 512;
// RTF's default font size: 12 points.
constexpr int kDefaultHalfPoints = 24;
// Indents, spacing and tab stops are kept within 22 inches, the widest page
// a word processor offers. The layout counts in fixed point and loops for
// ever on distances of millions of pixels, which a damaged file could give.
constexpr int kMaxTwips = 31680;
int Twips(int p) { return std::clamp(p, -kMaxTwips, kMaxTwips); }

enum class Dest { Text, FontTable, ColourTable, Skip };

struct CharState {
    int font = -1;                 // number in the font table; -1 none
    int halfPoints = kDefaultHalfPoints;
    bool bold = false, italic = false, underline = false, strike = false;
    int fore = 0, back = 0;        // colour-table numbers; 0 automatic
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    int left = 0, right = 0, first = 0, before = 0, after = 0;  // twips
    Qt::Alignment align = Qt::AlignLeft;
    QList<int> tabs;                                              // twips
    bool operator==(const ParaState&) const = default;
};

struct Group {
    Dest dest = Dest::Text;
    CharState ch;
    ParaState para;
    int ucSkip = 1;      // fallback characters after \uN
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The control words the reader acts on.
enum class W {
    Other, SkipDest, FontTbl, ColorTbl, Red, Green, Blue, Deff, Uc, U, Plain, F, Fs, B, I, Strike,
    Ul, UlNone, Cf, Cb, Pard, Par, Li, Ri, Fi, Sb, Sa, Ql, Qc, Qr, Qj, Tx, Tab, Line, Break,
    EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote
};

W Lookup(std::string_view word) {
    static const std::unordered_map<std::string_view, W> table = [] {
        std::unordered_map<std::string_view, W> t = {
            {"fonttbl", W::FontTbl}, {"colortbl", W::ColorTbl}, {"red", W::Red}, {"green", W::Green},
            {"blue", W::Blue}, {"deff", W::Deff}, {"uc", W::Uc}, {"u", W::U}, {"plain", W::Plain},
            {"f", W::F}, {"fs", W::Fs}, {"b", W::B}, {"i", W::I}, {"strike", W::Strike},
            {"ul", W::Ul}, {"uld", W::Ul}, {"uldb", W::Ul}, {"ulw", W::Ul}, {"uldash", W::Ul},
            {"ulth", W::Ul}, {"ulwave", W::Ul}, {"ulnone", W::UlNone}, {"cf", W::Cf}, {"cb", W::Cb},
            {"highlight", W::Cb}, {"chcbpat", W::Cb}, {"pard", W::Pard}, {"par", W::Par},
            {"li", W::Li}, {"ri", W::Ri}, {"fi", W::Fi}, {"sb", W::Sb}, {"sa", W::Sa}, {"ql", W::Ql},
            {"qc", W::Qc}, {"qr", W::Qr}, {"qj", W::Qj}, {"tx", W::Tx}, {"tb", W::Tx},
            {"tab", W::Tab}, {"cell", W::Tab}, {"line", W::Line}, {"row", W::Break},
            {"page", W::Break}, {"sect", W::Break}, {"emdash", W::EmDash}, {"endash", W::EnDash},
            {"bullet", W::Bullet}, {"lquote", W::LQuote}, {"rquote", W::RQuote},
            {"ldblquote", W::LDblQuote}, {"rdblquote", W::RDblQuote}};
        // Destinations whose content is never shown.
        for (std::string_view d :
             {"stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer",
              "footerl", "footerr", "footerf", "footnote", "listtable", "listoverridetable",
              "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping",
              "latentstyles", "datastore", "fldinst", "object", "objdata", "pgdsctbl", "revtbl",
              "filetbl", "annotation", "atnid", "atnauthor", "bkmkstart", "bkmkend", "private",
              "mmathPr", "shppict", "nonshppict", "shp", "userprops", "docvar", "template",
              "title", "author", "operator", "comment", "keywords", "subject", "category",
              "company", "doccomm", "wgrffmtfilter"})
            t.emplace(d, W::SkipDest);
        return t;
    }();
    auto it = table.find(word);
    return it != table.end() ? it->second : W::Other;
}

void Append(QString& s, char32_t c) {
    if (c < 0x10000)
        s += QChar(static_cast<char16_t>(c));
    else
        s += QString::fromUcs4(&c, 1);
}

class Reader {
public:
    Reader(const std::string& rtf, QTextDocument& doc) : in_(rtf), doc_(doc), cursor_(&doc) {}

    void Run() {
        doc_.clear();
        cursor_ = QTextCursor(&doc_);
        // One edit for the whole document: the layout runs once at the end.
        cursor_.beginEditBlock();
        groups_.push_back(Group{});
        std::size_t i = 0;
        const std::size_t n = in_.size();
        while (i < n) {
            char c = in_[i];
            if (c == '{') {
                ++i;
                OpenGroup();
            } else if (c == '}') {
                ++i;
                CloseGroup();
            } else if (c == '\\') {
                i = ControlAt(i);
            } else {
                ++i;
                if (c == '\r' || c == '\n') continue;
                if (c == '\t') {
                    Char(U'\t');
                } else if (static_cast<unsigned char>(c) >= 32) {
                    Char(Cp1252::ToUnicode(static_cast<unsigned char>(c)));
                }
            }
        }
        EndOfDocument();
        cursor_.endEditBlock();
    }

private:
    Group& Top() { return groups_.back(); }

    // --- Groups -------------------------------------------------------------
    void OpenGroup() {
        if (overflow_ > 0 || static_cast<int>(groups_.size()) >= kMaxDepth) {
            ++overflow_;
            return;
        }
        Group g = Top();
        groups_.push_back(g);
        skipChars_ = 0;
    }

    void CloseGroup() {
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (groups_.size() <= 1) return;  // a stray "}" closes nothing
        Dest closing = Top().dest;
        if (closing == Dest::FontTable && fontEntry_ >= 0) EndFontEntry();
        groups_.pop_back();
        skipChars_ = 0;
    }

    // --- Control words and symbols ---------------------------------------------
    // Reads the control at in_[i] == '\\'; returns the index after it.
    std::size_t ControlAt(std::size_t i) {
        const std::size_t n = in_.size();
        ++i;
        if (i >= n) return i;
        char c = in_[i];
        if (!IsLetter(c)) {
            ++i;
            Symbol(c, i);
            return i;
        }
        std::size_t start = i;
        while (i < n && IsLetter(in_[i]) && i - start < 32) ++i;
        std::string_view word(in_.data() + start, i - start);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (i < n && in_[i] == '-' && i + 1 < n && IsDigit(in_[i + 1])) {
            negative = true;
            ++i;
        }
        int digits = 0;
        while (i < n && IsDigit(in_[i])) {
            if (digits < 10) param = param * 10 + (in_[i] - '0');
            ++digits;
            hasParam = true;
            ++i;
        }
        if (negative) param = -param;
        param = std::clamp<long long>(param, INT32_MIN / 2, INT32_MAX / 2);
        if (i < n && in_[i] == ' ') ++i;  // the delimiter blank belongs to the word
        if (word == "bin") {
            // Raw bytes follow; they may hold braces and backslashes.
            if (param > 0) i += std::min<std::size_t>(static_cast<std::size_t>(param), n - i);
            return i;
        }
        if (overflow_ == 0) Word(word, hasParam, static_cast<int>(param));
        return i;
    }

    void Symbol(char c, std::size_t& i) {
        if (overflow_ > 0) {
            if (c == '\'') i = std::min(i + 2, in_.size());
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Char(static_cast<unsigned char>(c));
            break;
        case '\'': {
            int hi = i < in_.size() ? HexValue(in_[i]) : -1;
            int lo = i + 1 < in_.size() ? HexValue(in_[i + 1]) : -1;
            if (hi >= 0 && lo >= 0) {
                i += 2;
                Char(Cp1252::ToUnicode(static_cast<unsigned char>(hi * 16 + lo)));
            } else if (hi >= 0) {
                ++i;  // a cut-off escape shows nothing
            }
            break;
        }
        case '~':
            Char(0xA0);
            break;
        case '-':
            Char(0xAD);
            break;
        case '_':
            Char(0x2011);
            break;
        case '*':
            Top().dest = Dest::Skip;
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:
            break;  // \: and other symbols show nothing
        }
    }

    void Word(std::string_view w, bool hasParam, int p) {
        Group& g = Top();
        CharState& ch = g.ch;
        ParaState& para = g.para;
        if (g.dest == Dest::Skip) return;
        const W word = Lookup(w);
        if (word != W::U) skipChars_ = 0;
        const bool on = !hasParam || p != 0;

        if (g.dest == Dest::ColourTable) {
            if (word == W::Red || word == W::Green || word == W::Blue) {
                int v = std::clamp(p, 0, 255);
                if (word == W::Red) colour_.setRed(v);
                if (word == W::Green) colour_.setGreen(v);
                if (word == W::Blue) colour_.setBlue(v);
                colourSet_ = true;
            }
            return;
        }
        if (g.dest == Dest::FontTable) {
            if (word == W::F) {
                if (fontEntry_ >= 0) EndFontEntry();
                fontEntry_ = p;
                fontName_.clear();
            }
            return;
        }

        switch (word) {
        // Destinations.
        case W::FontTbl:
            g.dest = Dest::FontTable;
            fontEntry_ = -1;
            break;
        case W::ColorTbl:
            g.dest = Dest::ColourTable;
            colours_.clear();
            colour_ = QColor(0, 0, 0);
            colourSet_ = false;
            break;
        case W::SkipDest:
            g.dest = Dest::Skip;
            break;
        // Document.
        case W::Deff:
            defaultFont_ = p;
            ch.font = p;
            break;
        case W::Uc:
            g.ucSkip = std::clamp(p, 0, 8);
            break;
        case W::U:
            Char(static_cast<char32_t>(std::clamp(p < 0 ? p + 65536 : p, 0, 0x10FFFF)));
            skipChars_ = g.ucSkip;
            break;
        // Characters.
        case W::Plain:
            ch = CharState{};
            ch.font = defaultFont_;
            break;
        case W::F: ch.font = p; break;
        case W::Fs: ch.halfPoints = hasParam ? std::clamp(p, 0, 3276) : kDefaultHalfPoints; break;
        case W::B: ch.bold = on; break;
        case W::I: ch.italic = on; break;
        case W::Strike: ch.strike = on; break;
        case W::Ul: ch.underline = on; break;
        case W::UlNone: ch.underline = false; break;
        case W::Cf: ch.fore = p; break;
        case W::Cb: ch.back = p; break;
        // Paragraphs.
        case W::Pard: para = ParaState{}; break;
        case W::Par: Paragraph(); break;
        case W::Li: para.left = Twips(p); break;
        case W::Ri: para.right = Twips(p); break;
        case W::Fi: para.first = Twips(p); break;
        case W::Sb: para.before = Twips(p); break;
        case W::Sa: para.after = Twips(p); break;
        case W::Ql: para.align = Qt::AlignLeft; break;
        case W::Qc: para.align = Qt::AlignHCenter; break;
        case W::Qr: para.align = Qt::AlignRight; break;
        case W::Qj: para.align = Qt::AlignJustify; break;
        case W::Tx:
            if (para.tabs.size() < 64) para.tabs.append(Twips(p));
            break;
        // Special characters.
        case W::Tab: Char(U'\t'); break;
        case W::Line: Char(0x2028); break;
        case W::Break: Paragraph(); break;
        case W::EmDash: Char(0x2014); break;
        case W::EnDash: Char(0x2013); break;
        case W::Bullet: Char(0x2022); break;
        case W::LQuote: Char(0x2018); break;
        case W::RQuote: Char(0x2019); break;
        case W::LDblQuote: Char(0x201C); break;
        case W::RDblQuote: Char(0x201D); break;
        case W::Red:
        case W::Green:
        case W::Blue:
        case W::Other:
            break;  // changes nothing we show
        }
    }

    // --- Content ------------------------------------------------------------------
    void Char(char32_t c) {
        Group& g = Top();
        if (g.dest == Dest::Skip || overflow_ > 0) return;
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        if (g.dest == Dest::FontTable) {
            if (c == U';') {
                if (fontEntry_ >= 0) EndFontEntry();
            } else {
                Append(fontName_, c);
            }
            return;
        }
        if (g.dest == Dest::ColourTable) {
            if (c == U';') {
                colours_.append(colourSet_ ? colour_ : QColor());
                colour_ = QColor(0, 0, 0);
                colourSet_ = false;
            }
            return;
        }
        if (g.ch.halfPoints == 0) {
            // Size 0: the hidden link marker (never shown).
            Append(marker_, c);
            return;
        }
        FinishMarker();
        if (pendingBlock_) {
            cursor_.insertBlock();
            pendingBlock_ = false;
        }
        if (!runOpen_ || !(runState_ == g.ch)) {
            FlushRun();
            runState_ = g.ch;
            runOpen_ = true;
        }
        paraState_ = g.para;
        int at = cursor_.position() + static_cast<int>(run_.size());
        if (g.ch.underline) {
            if (linkStart_ < 0) linkStart_ = at;
            linkEnd_ = at + 1;
        } else {
            linkStart_ = -1;
        }
        Append(run_, c);
        blockHasText_ = true;
    }

    void Paragraph() {
        Group& g = Top();
        if (g.dest != Dest::Text || overflow_ > 0) return;
        FinishMarker();
        FlushRun();
        if (pendingBlock_) cursor_.insertBlock();
        // The paragraph's own properties are those in effect at its end.
        cursor_.setBlockFormat(BlockFormat(blockHasText_ ? paraState_ : g.para));
        cursor_.setBlockCharFormat(CharFormat(g.ch));
        pendingBlock_ = true;
        blockHasText_ = false;
        linkStart_ = -1;
    }

    void EndOfDocument() {
        FinishMarker();
        FlushRun();
        if (blockHasText_) cursor_.setBlockFormat(BlockFormat(paraState_));
    }

    void FlushRun() {
        if (!runOpen_) return;
        if (!run_.isEmpty()) cursor_.insertText(run_, CharFormat(runState_));
        run_.clear();
        runOpen_ = false;
    }

    // A marker "#digits" names the link of the underlined run just before it.
    void FinishMarker() {
        if (marker_.isEmpty()) return;
        QString m = marker_.trimmed();
        marker_.clear();
        if (m.size() < 2 || m[0] != u'#' || linkStart_ < 0) return;
        QString number = m.mid(1);
        for (QChar c : number)
            if (c.unicode() < '0' || c.unicode() > '9') return;
        const int start = linkStart_;
        linkStart_ = -1;
        const int runStart = cursor_.position();
        if (runOpen_ && start == runStart && linkEnd_ == runStart + run_.size()) {
            // The usual case: the link is the run not yet written.
            QTextCharFormat f = CharFormat(runState_);
            MakeLink(f, number);
            cursor_.insertText(run_, f);
            run_.clear();
            runOpen_ = false;
            return;
        }
        FlushRun();
        QTextCursor sel(&doc_);
        sel.setPosition(start);
        sel.setPosition(linkEnd_, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        MakeLink(f, number);
        sel.mergeCharFormat(f);
    }

    static void MakeLink(QTextCharFormat& f, const QString& number) {
        f.setAnchor(true);
        f.setAnchorHref(number);
        f.setProperty(kLinkNumber, number);
    }

    void EndFontEntry() {
        QString name = fontName_.trimmed();
        if (!name.isEmpty() && fontEntry_ >= 0) fonts_.insert(fontEntry_, name);
        fontEntry_ = -1;
        fontName_.clear();
    }

    QColor Colour(int index) const {
        if (index <= 0 || index >= colours_.size()) return {};
        return colours_[index];
    }

    QTextCharFormat CharFormat(const CharState& s) const {
        QTextCharFormat f;
        auto font = fonts_.constFind(s.font);
        if (font != fonts_.constEnd()) f.setFontFamilies({*font});
        f.setFontPointSize(std::max(1, s.halfPoints) / 2.0);
        // Whole-pixel advances, as the character-width tables that place the
        // dot leaders count them.
        f.setFontHintingPreference(QFont::PreferFullHinting);
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontStrikeOut(s.strike);
        QColor fore = Colour(s.fore);
        if (fore.isValid()) f.setForeground(fore);
        QColor back = Colour(s.back);
        if (back.isValid()) f.setBackground(back);
        return f;
    }

    static QTextBlockFormat BlockFormat(const ParaState& p) {
        QTextBlockFormat f;
        f.setLeftMargin(p.left / kTwipsPerPixel);
        f.setRightMargin(p.right / kTwipsPerPixel);
        f.setTextIndent(p.first / kTwipsPerPixel);
        f.setTopMargin(p.before / kTwipsPerPixel);
        f.setBottomMargin(p.after / kTwipsPerPixel);
        f.setAlignment(p.align);
        // RTF counts tab stops from the left margin of the page; the layout
        // counts them from where the line starts. Tabs stand on the first
        // line (after a hanging heading), so they count from its start.
        QList<QTextOption::Tab> tabs;
        for (int t : p.tabs) {
            double at = (t - p.left - p.first) / kTwipsPerPixel;
            if (at > 0) tabs.append(QTextOption::Tab(at, QTextOption::LeftTab));
        }
        f.setTabPositions(tabs);
        return f;
    }

    const std::string& in_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    std::vector<Group> groups_;
    int overflow_ = 0;
    int skipChars_ = 0;

    QHash<int, QString> fonts_;
    int defaultFont_ = -1;
    int fontEntry_ = -1;
    QString fontName_;

    QList<QColor> colours_;
    QColor colour_{0, 0, 0};
    bool colourSet_ = false;

    QString run_;
    CharState runState_;
    bool runOpen_ = false;
    ParaState paraState_;
    bool pendingBlock_ = false;
    bool blockHasText_ = false;

    QString marker_;
    int linkStart_ = -1, linkEnd_ = -1;
};

}  // namespace

void Read(const std::string& rtf, QTextDocument& doc) {
    // Reading is no edit the user could undo.
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    Reader reader(rtf, doc);
    reader.Run();
    doc.setUndoRedoEnabled(undo);
}

QString LinkNumberAt(const QTextDocument& doc, int position) {
    QTextBlock block = doc.findBlock(position);
    if (!block.isValid()) return {};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextFragment frag = it.fragment();
        if (position >= frag.position() && position < frag.position() + frag.length())
            return frag.charFormat().property(kLinkNumber).toString();
    }
    return {};
}

}  // namespace RtfReader
