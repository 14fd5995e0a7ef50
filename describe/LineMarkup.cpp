#include "LineMarkup.h"

#include <cmath>
#include <limits>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"

namespace Markup {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithTag(std::string_view text, std::string_view tag) {
    if (text.size() < tag.size()) return false;
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(tag[i])) return false;
    return true;
}

// The number written between two tags, as the program's Val reads it
// (leading blanks, then digits); false when it is no whole 32-bit number.
bool ReadNumber(std::string_view digits, long long& out) {
    // Text that is no number names no atom (Val would read it as 0).
    std::size_t k = digits.find_first_not_of(' ');
    if (k != std::string_view::npos && (digits[k] == '-' || digits[k] == '+')) ++k;
    if (k == std::string_view::npos || k >= digits.size() || digits[k] < '0' || digits[k] > '9') return false;
    // "5x" is no number either: only blanks may follow the digits.
    std::size_t end = digits.find_first_not_of("0123456789", k);
    if (end != std::string_view::npos && digits.find_first_not_of(' ', end) != std::string_view::npos) return false;
    const double v = Basic::Val(digits);
    if (!std::isfinite(v) || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    out = Basic::CLng(v);
    return true;
}

// A tag pair found in text: where the opening tag starts, the text between
// the tags, and where the text after the closing tag begins.
struct Pair {
    std::size_t open = std::string_view::npos;
    std::string_view inner;
    std::size_t after = 0;
    bool closed = false;
};

Pair FindPair(std::string_view text, std::string_view open, std::string_view close, std::size_t from = 0) {
    Pair p;
    p.open = FindTag(text, open, from);
    if (p.open == std::string_view::npos) return p;
    const std::size_t innerStart = p.open + open.size();
    const std::size_t end = FindTag(text, close, innerStart);
    if (end == std::string_view::npos) return p;
    p.inner = text.substr(innerStart, end - innerStart);
    p.after = end + close.size();
    p.closed = true;
    return p;
}

void AddText(std::vector<Run>& runs, std::string_view text, bool bold) {
    if (text.empty()) return;
    Run r;
    r.text = std::string(text);
    r.bold = bold;
    runs.push_back(std::move(r));
}

// One <a>N</a> whose number was read; false when the number names nothing
// (the caller then writes the tag as text).
bool AddLinkRuns(std::vector<Run>& runs, long long number, bool bold, const InlineOptions& o) {
    if (number >= kHelpMarkBase) {
        Run r;
        r.type = Run::Type::HelpMark;
        r.text = "(?)";
        r.bold = true;
        r.hasColour = true;
        r.colour = kHelpMarkColour;
        r.number = static_cast<int32_t>(number);
        runs.push_back(std::move(r));
        return true;
    }
    atom* a = LinkAtom(number);
    if (!a) return false;
    const bool asText = !o.showLinks || (a == o.selfAtom && !o.showSelfLinks);
    Run r;
    r.text = a->Text();
    r.bold = bold || a->bold();
    r.target = a;
    r.number = a->id();
    if (asText) {
        r.type = Run::Type::AtomText;
        if (o.showColor) {
            r.hasColour = true;
            r.colour = a->Color(o.colours);
        }
        runs.push_back(std::move(r));
        AddText(runs, " ", bold);
    } else {
        r.type = Run::Type::Link;
        r.hasColour = true;
        r.colour = LinkColour(*a, o.colours);
        runs.push_back(std::move(r));
    }
    return true;
}

// The next place of a tag at or after a position that only ever grows: the
// text is scanned once, forward, however many times the place is asked for.
class TagScan {
public:
    TagScan(std::string_view text, std::string_view tag) : text_(text), tag_(tag) {}
    std::size_t From(std::size_t pos) {
        if (at_ == std::string_view::npos) return at_;  // none further on
        if (!scanned_ || at_ < pos) {
            at_ = FindTag(text_, tag_, pos);
            scanned_ = true;
        }
        return at_;
    }

private:
    std::string_view text_, tag_;
    std::size_t at_ = 0;
    bool scanned_ = false;
};

// The column from the left: of the first <a> and the first <b>, the earlier
// is handled; text before it goes out as it is. Inside bold text links are
// read too (a bold link); a second <b> there is text.
void Parse(std::vector<Run>& runs, std::string_view text, bool bold, const InlineOptions& o) {
    std::size_t pos = 0;
    TagScan links(text, "<a>"), bolds(text, "<b>");
    while (pos < text.size()) {
        const std::size_t ia = links.From(pos);
        const std::size_t ib = bold ? std::string_view::npos : bolds.From(pos);
        if (ia == std::string_view::npos && ib == std::string_view::npos) break;
        const bool isLink = ia < ib;
        const Pair p = isLink ? FindPair(text, "<a>", "</a>", ia) : FindPair(text, "<b>", "</b>", ib);
        AddText(runs, text.substr(pos, p.open - pos), bold);
        if (!p.closed) {
            AddText(runs, text.substr(p.open), bold);  // unclosed: the rest as written
            return;
        }
        if (isLink) {
            long long number = 0;
            if (!ReadNumber(p.inner, number) || !AddLinkRuns(runs, number, bold, o))
                AddText(runs, text.substr(p.open, p.after - p.open), bold);
        } else {
            Parse(runs, p.inner, true, o);
        }
        pos = p.after;
    }
    if (pos < text.size()) AddText(runs, text.substr(pos), bold);
}

// Plain runs next to each other with the same looks become one.
void Merge(std::vector<Run>& runs) {
    std::vector<Run> out;
    out.reserve(runs.size());
    for (Run& r : runs) {
        if (!out.empty() && r.type == Run::Type::Text && out.back().type == Run::Type::Text &&
            out.back().bold == r.bold && out.back().hasColour == r.hasColour && out.back().colour == r.colour) {
            out.back().text += r.text;
            continue;
        }
        out.push_back(std::move(r));
    }
    runs.swap(out);
}

}  // namespace

std::size_t FindTag(std::string_view text, std::string_view tag, std::size_t from) {
    if (tag.empty() || text.size() < tag.size()) return std::string_view::npos;
    for (std::size_t i = from; i + tag.size() <= text.size(); ++i)
        if (StartsWithTag(text.substr(i), tag)) return i;
    return std::string_view::npos;
}

atom* LinkAtom(long long id) {
    if (id < 0 || id >= DataBase::numAtoms || id >= static_cast<long long>(DataBase::atomTab.size()))
        return nullptr;
    atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
    if (!a || a == DataBase::nothingAtom) return nullptr;
    return a;
}

uint32_t LinkColour(const atom& a, std::span<const uint32_t> colours) {
    constexpr std::size_t kLanguageEntry = 4;
    if (a.ColorEntry() < 0) return colours.size() > kLanguageEntry ? colours[kLanguageEntry] : 0;
    return a.Color(colours);
}

LinePrefixes TakePrefixes(std::string_view line) {
    LinePrefixes p;
    auto take = [&line](std::string_view tag) {
        if (!StartsWithTag(line, tag)) return false;
        line.remove_prefix(tag.size());
        return true;
    };
    p.small = take("<small>");
    p.indent = take("<indent>");
    p.em = take("<em>");
    p.rest = line;
    return p;
}

TwoColumns SplitAtTab(std::string_view line) {
    TwoColumns c;
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        c.col1 = line;
        return c;
    }
    c.col1 = line.substr(0, tab);
    c.col2 = line.substr(tab + 1);
    c.hasTab = true;
    return c;
}

std::vector<std::string_view> SplitColumns(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            out.push_back(line.substr(start));
            return out;
        }
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::vector<Run> ParseInline(std::string_view column, const InlineOptions& o) {
    std::vector<Run> runs;
    if (!o.showLinks && !o.showColor) {
        AddText(runs, column, false);
        return runs;
    }
    Parse(runs, column, false, o);
    Merge(runs);
    return runs;
}

CellFormat ParseCell(std::string_view cell, std::span<const uint32_t> colours) {
    CellFormat f;
    std::string_view text = cell;
    const Pair a = FindPair(text, "<a>", "</a>");
    if (a.closed) {
        long long number = 0;
        atom* linked = ReadNumber(a.inner, number) ? LinkAtom(number) : nullptr;
        if (linked) {
            f.linkAtom = linked;
            text = text.substr(a.after);
        }
    }
    const Pair c = FindPair(text, "<c>", "</c>");
    if (c.closed) {
        const double v = Basic::Val(c.inner);
        if (std::isfinite(v) && v >= 0 && v <= 0xFFFFFF) {
            f.hasColour = true;
            f.colour = static_cast<uint32_t>(Basic::CLng(v));
            text = text.substr(c.after);
        }
    }
    if (f.linkAtom) {
        f.hasColour = true;
        f.colour = f.linkAtom->Color(colours);
        f.bold = f.linkAtom->bold();
    }
    if (StartsWithTag(text, "<b>")) {
        const std::size_t close = FindTag(text, "</b>", 3);
        if (close != std::string_view::npos) {
            f.bold = true;
            f.text = std::string(text.substr(3, close - 3));
            f.text += text.substr(close + 4);
            return f;
        }
    }
    f.text = std::string(text);
    return f;
}

}  // namespace Markup
