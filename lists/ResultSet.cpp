#include "ResultSet.h"

#include "CountText.h"

#include <algorithm>
#include <array>
#include <deque>
#include <bit>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "Basic.h"
#include "Errors.h"
#include "FlexString.h"
#include "Parser.h"
#include "Services.h"
#include "TextCompare.h"
#include "TextConstants.h"

using Errors::Assert;

namespace {

constexpr int32_t kGrowStep = 50;
constexpr int kNoId = Basic::kNone;
// Lists longer than this show the busy cursor while a list view or a
// rich-text pane is filled.
constexpr int32_t kBusyRenderLines = 300;

int32_t MmToTwips(double mm) { return Basic::CLng(mm * 56.7); }

std::string ListNumberPrefix(int id) {
    if (id == kNoId) return {};
    const std::string n = std::to_string(id);
    if (TextConstants::textLanguage == 0) return n + ". Liste: ";
    return n + TextConstants::OrdinalSuffix(id) + " list: ";
}

}  // namespace

ResultSet::ResultSet() { InitInt(); }

// --- binding -------------------------------------------------------------------

void ResultSet::Init(const std::string& title, ResultLabel* titleLabel, const std::string& tipText,
                     ResultLabel* countLabel, ResultDisplay* control) {
    lines_.clear();
    numNames_ = numGenNames_ = 0;
    capacity_ = kGrowStep;
    showUnique_ = false;
    id_ = kNoId;
    title_ = title;
    pureTitle_.clear();
    view = ResultSetView{};
    view.ToolTipText = tipText;
    titleLabel_ = titleLabel;
    countLabel_ = countLabel;
    control_ = control;
    if (control_) {
        const ControlRect r = control_->Geometry();
        view.ctlHeight = r.height;
        view.ctlWidth = r.width;
        view.ctlTop = r.top;
        view.ctlLeft = r.left;
        if (!tipText.empty()) control_->SetToolTip(tipText);
    }
    hasToolTip_ = control_ && !tipText.empty();
    sortOrder_ = 0;
    marked_ = -1;
    selfAtom_ = nullptr;
    lastAtom_ = nullptr;
    searchInfo_.reset();
    curPos_ = 0;
}

void ResultSet::InitInt() { Init("", nullptr, "", nullptr, nullptr); }

void ResultSet::Unbind() {
    control_ = nullptr;
    titleLabel_ = countLabel_ = nullptr;
    hasToolTip_ = false;
}

// --- titles ----------------------------------------------------------------------

std::string ResultSet::title() const {
    if (pureTitle_.empty()) return title_;
    return ListNumberPrefix(id_) + CountText::ResultSizeText(*this) + pureTitle_;
}

// --- lines -----------------------------------------------------------------------

bool ResultSet::CheckIndex(int32_t i) const {
    const bool ok = i >= 0 && i < numLines();
    Assert(ok, "mNumLines");
    return ok;
}

std::string ResultSet::line(int32_t i) const { return CheckIndex(i) ? lines_[i].text : std::string(); }

void ResultSet::setFullLine(int32_t i, const std::string& text) {
    if (CheckIndex(i)) lines_[i].text = text;
}

std::string ResultSet::reason(int32_t i) const { return CheckIndex(i) ? lines_[i].reason : std::string(); }

void ResultSet::setReason(int32_t i, const std::string& reason) {
    if (CheckIndex(i)) lines_[i].reason = reason;
}

::atom* ResultSet::atom(int32_t i) const { return CheckIndex(i) ? lines_[i].a : nullptr; }

int32_t ResultSet::Mark(int32_t i) const { return CheckIndex(i) ? ListAtoms::GetMark(lines_[i].a) : 0; }

int32_t ResultSet::markIndex(int32_t i) const {
    return CheckIndex(i) ? ListAtoms::GetMarkIndex(lines_[i].a) : 0;
}

void ResultSet::SetMark(int32_t i, int32_t tag) {
    if (CheckIndex(i)) ListAtoms::SetMark(lines_[i].a, tag, i);
}

::atom* ResultSet::current() const {
    return marked_ >= 0 && marked_ < numLines() ? lines_[marked_].a : nullptr;
}

// --- switches --------------------------------------------------------------------

void ResultSet::setToolTipText(const std::string& text) {
    view.ToolTipText = text;
    if (hasToolTip_ && control_) control_->SetToolTip(text);
}

void ResultSet::setActive(bool on) {
    view.active = on;
    if (control_ && control_->Kind() == DisplayKind::TextDisplay) control_->SetActive(on);
}

void ResultSet::Break() {
    view.Break = true;
    if (control_ && control_->Kind() == DisplayKind::ListView)
        view.breakWidth = Basic::CLng(control_->Column2Width() / 15 - 25);
}

void ResultSet::DefineOneCol(const std::string& title) {
    view.numCol = 1;
    view.colFrac1 = 1;
    view.colFrac2 = 0;
    if (control_ && control_->Kind() == DisplayKind::ListView)
        control_->DefineColumns({{title, title, 1.0, static_cast<double>(MmToTwips(1.5))}}, false);
}

void ResultSet::DefineTwoCol(const std::string& title1, double frac1, const std::string& title2,
                             double frac2) {
    view.numCol = 2;
    view.colFrac1 = frac1;
    view.colFrac2 = frac2;
    if (control_ && control_->Kind() == DisplayKind::ListView)
        control_->DefineColumns({{title1, title1, frac1, 0}, {title2, title2, frac2, 0}}, false);
}

void ResultSet::DefineNCol(const std::vector<std::string>& titles, const std::vector<double>& fracs) {
    view.numCol = static_cast<int>(titles.size());
    if (!control_ || control_->Kind() != DisplayKind::ListView) return;
    std::vector<ColumnSpec> cols;
    for (std::size_t k = 0; k < titles.size(); ++k)
        cols.push_back({"X" + std::to_string(k + 1), titles[k], k < fracs.size() ? fracs[k] : 0.0, 0});
    control_->DefineColumns(cols, true);
}

// --- adding, changing, removing ------------------------------------------------------

void ResultSet::Count(const ::atom* a, int delta) {
    if (ListAtoms::IsName(a)) numNames_ += delta;
    else if (ListAtoms::IsGroup(a)) numGenNames_ += delta;
    // A line whose entry the database no longer holds (a name of a list file
    // or a favorite deleted since, or made by another run) is shown, and so
    // counted: with the names, as only the user's own names ever leave.
    else if (ListAtoms::IsNothing(a)) numNames_ += delta;
}

bool ResultSet::ContainsAtom(const ::atom* a) const {
    for (const Line& l : lines_)
        if (l.a == a) return true;
    return false;
}

void ResultSet::AddResult(const std::string& line, const std::string& reason, ::atom* a) {
    if (a && showUnique_ && ContainsAtom(a)) return;
    // The visible capacity grows in steps of 50; the storage itself grows
    // geometrically, so that long lists fill in linear time.
    if (numLines() == capacity_) capacity_ += kGrowStep;
    lines_.push_back(Line{line, reason, a});
    Count(a, +1);
    sortOrder_ = 0;
}

void ResultSet::AddResult2(const std::string& col1, const std::string& col2, const std::string& reason,
                           ::atom* a) {
    if (!view.Break) {
        AddResult(col1 + "\t" + col2, reason, a);
        return;
    }
    std::vector<std::string> pieces{col2};
    if (control_ && control_->Kind() == DisplayKind::ListView) {
        view.breakWidth = Basic::CLng(control_->Column2Width() / 15 - 25);
        if (const CharWidths* widths = control_->FontWidths()) {
            int count = 0;
            FlexString(col2).Break(view.breakWidth, pieces, count, *widths);
            if (pieces.empty()) pieces.push_back(std::string());
        }
    }
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (k == 0) AddResult(col1 + "\t" + pieces[k], reason, a);
        else AddResult("\t" + pieces[k], "", a);
    }
}

void ResultSet::AddFrom(const ResultSet& rs, int32_t i) {
    if (!rs.CheckIndex(i)) return;
    const Line l = rs.lines_[i];  // a copy: rs may be this list
    AddResult(l.text, l.reason, l.a);
}

void ResultSet::AddAllFrom(const ResultSet& rs) {
    // Adding a list to itself would chase its own growing end: take the
    // lines as they are before the first one is added.
    if (&rs == this) {
        const std::vector<Line> copy = lines_;
        for (const Line& l : copy) AddResult(l.text, l.reason, l.a);
    } else {
        for (const Line& l : rs.lines_) AddResult(l.text, l.reason, l.a);
    }
    searchInfo_ = rs.searchInfo_;
}

void ResultSet::Reset() {
    lines_.clear();
    numNames_ = numGenNames_ = 0;
    sortOrder_ = 0;
    marked_ = -1;
    // Browsing starts afresh, so that it never reads past the new end.
    curPos_ = 0;
    lastAtom_ = nullptr;
}

bool ResultSet::GetAtomIndex(const ::atom* a, int32_t& index) const {
    for (index = 0; index < numLines(); ++index)
        if (lines_[index].a == a) return true;
    return false;
}

int32_t ResultSet::GetAtoms(std::vector<::atom*>& arr) const {
    if (arr.size() < lines_.size()) arr.resize(lines_.size());
    int32_t n = 0;
    for (; n < numLines(); ++n) arr[n] = lines_[n].a;
    return n;
}

void ResultSet::ModifyCurrent(const std::string& line, ::atom* a) {
    Assert(marked_ >= 0, "ModifyCurrent");
    if (marked_ < 0 || marked_ >= numLines()) return;
    Line& l = lines_[marked_];
    // The counts follow the atom that is now on the line.
    Count(l.a, -1);
    Count(a, +1);
    l.text = line;
    l.a = a;
    sortOrder_ = 0;
}

void ResultSet::ModifyCurrent2(const std::string& col1, const std::string& col2, ::atom* a) {
    ModifyCurrent(col1 + "\t" + col2, a);
}

void ResultSet::KeepCursorInside() {
    const int32_t n = numLines();
    if (n == 0) curPos_ = 0;
    else if (curPos_ > n - 1) curPos_ = n - 1;
}

void ResultSet::DelMarked() {
    if (lines_.empty()) return;
    Assert(marked_ >= 0, "DelMarked");
    if (marked_ < 0 || marked_ >= numLines()) return;
    Count(lines_[marked_].a, -1);
    lines_.erase(lines_.begin() + marked_);
    sortOrder_ = 0;
    // The browsing cursor stays on the same line, and inside the list.
    if (marked_ < curPos_) --curPos_;
    KeepCursorInside();
    Show(nullptr);
    if (marked_ < numLines()) markLine(marked_);
    else if (numLines() > 0) markLine(numLines() - 1);
    else marked_ = -1;
}

void ResultSet::SwapLines(int32_t i, int32_t j) {
    std::swap(lines_[i], lines_[j]);
    sortOrder_ = 0;
    Show(nullptr);
}

void ResultSet::MoveMarkedUp() {
    if (numLines() <= 1) return;
    Assert(marked_ >= 0, "MoveMarkedUp");
    if (marked_ < 0 || marked_ >= numLines()) return;
    if (marked_ != 0) {
        SwapLines(marked_ - 1, marked_);
        markLine(marked_ - 1);
    }
}

void ResultSet::MoveMarkedDown() {
    if (numLines() <= 1) return;
    Assert(marked_ >= 0, "MoveMarkedDown");
    if (marked_ < 0 || marked_ >= numLines()) return;
    if (marked_ != numLines() - 1) {
        SwapLines(marked_ + 1, marked_);
        markLine(marked_ + 1);
    }
}

// --- browsing ------------------------------------------------------------------------

void ResultSet::CurPosToMarked() {
    curPos_ = marked_ >= 0 && marked_ < numLines() ? marked_ : 0;
    lastAtom_ = nullptr;
}

::atom* ResultSet::GoForward() {
    const int32_t n = numLines();
    if (n == 0 || curPos_ >= n - 1) return nullptr;
    if (curPos_ < -1) curPos_ = -1;
    ++curPos_;
    ::atom* r = lines_[curPos_].a;
    if (r == lastAtom_ && curPos_ < n - 1) r = lines_[++curPos_].a;
    lastAtom_ = r;
    return r;
}

::atom* ResultSet::GoBack() {
    const int32_t n = numLines();
    if (curPos_ > n) curPos_ = n;
    if (n == 0 || curPos_ <= 0) return nullptr;
    --curPos_;
    ::atom* r = lines_[curPos_].a;
    if (r == lastAtom_ && curPos_ > 0) r = lines_[--curPos_].a;
    lastAtom_ = r;
    return r;
}

::atom* ResultSet::GoBegin() {
    curPos_ = -1;
    lastAtom_ = nullptr;
    return GoForward();
}

::atom* ResultSet::GoEnd() {
    curPos_ = numLines();
    lastAtom_ = nullptr;
    return GoBack();
}

// --- order -----------------------------------------------------------------------------

bool ResultSet::LineGreater(const Line& x, const Line& y, int order) const {
    using TextCompare::Compare;
    switch (order) {
        case 1: return Compare(x.text, y.text) > 0;
        case 2: return Compare(x.text, y.text) < 0;
        case 3: {
            const std::string_view tx = x.text, ty = y.text;
            const int last = Compare(tx.empty() ? tx : tx.substr(tx.size() - 1),
                                     ty.empty() ? ty : ty.substr(ty.size() - 1));
            if (last != 0) return last > 0;
            return TextCompare::CompareReversed(tx, ty) > 0;
        }
        case 4:
            if (x.text.size() == y.text.size()) return Compare(x.text, y.text) > 0;
            return x.text.size() > y.text.size();
        case 5: {
            const int kx = ListAtoms::Kind(x.a), ky = ListAtoms::Kind(y.a);
            if (kx != ky) return kx > ky;
            return Compare(x.text, y.text) > 0;
        }
        case 6: return TextCompare::CompareBinary(x.reason, y.reason) > 0;
        case 99: return Compare(ListAtoms::Text(x.a), ListAtoms::Text(y.a)) > 0;
        default: return false;
    }
}

namespace {
bool IsKnownOrder(int order) { return (order >= 1 && order <= 6) || order == 99; }
}  // namespace

namespace {

// The two passes of TextCompare::Compare as byte tables: each character
// without its accent and case (primary), then without its case only
// (secondary).
struct FoldTables {
    unsigned char primary[256];
    unsigned char secondary[256];
    FoldTables() {
        const Parser::CodeTable& f = Parser::PlatformUpperTable();
        const Parser::CodeTable& base = Parser::BaseTable();
        for (size_t c = 0; c < 256; ++c) {
            primary[c] = static_cast<unsigned char>(f[static_cast<size_t>(base[c])]);
            secondary[c] = static_cast<unsigned char>(f[c]);
        }
    }
};

// The keys of an order, read a byte at a time from the text a line is sorted
// by. Lines are ordered by their primary keys bytewise (a key that is a
// prefix of another first), then by their secondary keys, as the text
// comparison orders them:
//   order 6   the bytes as they are; no secondary key
//   order 3   the last character without, then with its accent, then the
//             text backwards; the secondary key has two blanks in place of
//             the first two bytes
//   others    the text
class KeyReader {
public:
    KeyReader(int order, const FoldTables& fold) : order_(order), fold_(fold) {}

    size_t Length(std::string_view t) const { return order_ == 3 && !t.empty() ? t.size() + 2 : t.size(); }

    unsigned char Primary(std::string_view t, size_t p) const {
        if (order_ == 6) return static_cast<unsigned char>(t[p]);
        if (order_ != 3) return fold_.primary[static_cast<unsigned char>(t[p])];
        const size_t n = t.size();
        if (p == 1) return fold_.secondary[static_cast<unsigned char>(t[n - 1])];
        return fold_.primary[static_cast<unsigned char>(t[p == 0 ? n - 1 : n + 1 - p])];
    }

    unsigned char Secondary(std::string_view t, size_t p) const {
        if (order_ != 3) return fold_.secondary[static_cast<unsigned char>(t[p])];
        return p < 2 ? ' ' : fold_.secondary[static_cast<unsigned char>(t[t.size() + 1 - p])];
    }

    // The primary key's bytes from off on, eight of them big-endian with
    // zeros after the key's end, and their count: 0 to 8, or kGoesOn when
    // the key is longer.
    static constexpr uint32_t kGoesOn = 9;
    uint64_t Chunk(std::string_view t, size_t off, uint32_t& count) const {
        const size_t len = Length(t);
        const size_t have = len > off ? std::min<size_t>(len - off, 8) : 0;
        uint64_t h = 0;
        size_t k = 0;
        if (order_ != 3 && order_ != 6) {
            const auto* s = reinterpret_cast<const unsigned char*>(t.data()) + off;
            for (; k < have; ++k) h = (h << 8) | fold_.primary[s[k]];
        } else {
            for (; k < have; ++k) h = (h << 8) | Primary(t, off + k);
        }
        if (have < 8) h = have == 0 ? 0 : h << (8 * (8 - have));
        count = len > off + 8 ? kGoesOn : static_cast<uint32_t>(have);
        return h;
    }

    // Both texts' keys, from byte off of the primary key on (the bytes
    // before it being equal): < 0, 0 or > 0.
    int Compare(std::string_view x, std::string_view y, size_t off) const {
        if (x == y) return 0;
        const size_t lx = Length(x), ly = Length(y);
        for (size_t p = off, m = std::min(lx, ly); p < m; ++p) {
            const unsigned char a = Primary(x, p), b = Primary(y, p);
            if (a != b) return a < b ? -1 : 1;
        }
        if (lx != ly) return lx < ly ? -1 : 1;
        return CompareSecondary(x, y);
    }

    // Texts with equal primary keys: their secondary keys.
    int CompareSecondary(std::string_view x, std::string_view y) const {
        if (order_ == 6) return 0;
        for (size_t p = 0, m = Length(x); p < m; ++p) {
            const unsigned char a = Secondary(x, p), b = Secondary(y, p);
            if (a != b) return a < b ? -1 : 1;
        }
        return 0;
    }

private:
    int order_;
    const FoldTables& fold_;
};

// A line in the sort: eight bytes of its key (head) and the count of key
// bytes in them (the lowest byte of first), what orders it before its key
// (order 4 the length, order 5 the kind: the upper bytes of first), and
// where it is in the list.
struct SortItem {
    uint64_t head;
    uint32_t first;
    uint32_t line;
};

// Items are ordered by the upper bytes of first, then head, then the lowest
// byte of first: twelve byte digits, digit 0 the least significant.
constexpr size_t kDigits = 12;

// Where digit d lies in an item's bytes.
static_assert(std::endian::native == std::endian::little);
constexpr std::array<size_t, kDigits> kDigitByte = {8, 0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11};

size_t Digit(const SortItem& it, size_t d) { return reinterpret_cast<const unsigned char*>(&it)[kDigitByte[d]]; }
size_t ByteAt(const SortItem& it, size_t at) { return reinterpret_cast<const unsigned char*>(&it)[at]; }

bool KeyLess(const SortItem& a, const SortItem& b) {
    if ((a.first >> 8) != (b.first >> 8)) return (a.first >> 8) < (b.first >> 8);
    if (a.head != b.head) return a.head < b.head;
    return (a.first & 255u) < (b.first & 255u);
}

// The digits below top in which the items differ, least significant first.
size_t VaryingDigits(const SortItem* items, size_t n, size_t top, std::array<size_t, kDigits>& digits) {
    uint64_t headOr = 0, headAnd = ~uint64_t{0};
    uint32_t firstOr = 0, firstAnd = ~uint32_t{0};
    for (size_t i = 0; i < n; ++i) {
        headOr |= items[i].head;
        headAnd &= items[i].head;
        firstOr |= items[i].first;
        firstAnd &= items[i].first;
    }
    const SortItem differ{headOr ^ headAnd, firstOr ^ firstAnd, 0};
    size_t count = 0;
    for (size_t d = 0; d < top; ++d)
        if (Digit(differ, d) != 0) digits[count++] = d;
    return count;
}

// A stable sort of items[0 .. n-1] by the digits below top (the items agree
// in the others), least significant digit first, one counting pass each;
// few items by insertion. spare holds n items.
void SortByLowerDigits(SortItem* items, size_t n, SortItem* spare, size_t top) {
    if (n <= 48) {
        for (size_t i = 1; i < n; ++i) {
            const SortItem x = items[i];
            size_t j = i;
            for (; j > 0 && KeyLess(x, items[j - 1]); --j) items[j] = items[j - 1];
            items[j] = x;
        }
        return;
    }
    std::array<size_t, kDigits> digits{};
    const size_t passes = VaryingDigits(items, n, top, digits);
    std::array<size_t, kDigits> at{};
    for (size_t p = 0; p < passes; ++p) at[p] = kDigitByte[digits[p]];
    std::array<std::array<uint32_t, 256>, kDigits> count;
    for (size_t p = 0; p < passes; ++p) count[p].fill(0);
    for (size_t i = 0; i < n; ++i)
        for (size_t p = 0; p < passes; ++p) ++count[p][ByteAt(items[i], at[p])];
    SortItem* src = items;
    SortItem* dst = spare;
    for (size_t p = 0; p < passes; ++p) {
        auto& c = count[p];
        uint32_t sum = 0;
        for (auto& v : c) sum += std::exchange(v, sum);
        const size_t b = at[p];
        for (size_t i = 0; i < n; ++i) dst[c[ByteAt(src[i], b)]++] = src[i];
        std::swap(src, dst);
    }
    if (src != items) std::copy(src, src + n, items);
}

// A stable sort of items[0 .. n-1] by their keys. A long list is first split
// by its most significant digit in which the items differ; each part, small
// enough for the processor's caches, is then sorted by the digits below.
void RadixSort(SortItem* items, size_t n, SortItem* spare) {
    if (n < 2) return;
    if (n <= 4096) {
        SortByLowerDigits(items, n, spare, kDigits);
        return;
    }
    std::array<size_t, kDigits> digits{};
    const size_t varying = VaryingDigits(items, n, kDigits, digits);
    if (varying == 0) return;
    const size_t top = digits[varying - 1];
    std::array<uint32_t, 257> start{};
    for (size_t i = 0; i < n; ++i) ++start[Digit(items[i], top) + 1];
    for (size_t b = 1; b <= 256; ++b) start[b] += start[b - 1];
    std::array<uint32_t, 256> next{};
    std::copy(start.begin(), start.end() - 1, next.begin());
    for (size_t i = 0; i < n; ++i) spare[next[Digit(items[i], top)]++] = items[i];
    for (size_t b = 0; b < 256; ++b) {
        const size_t at = start[b], m = start[b + 1] - at;
        if (m == 0) continue;
        SortByLowerDigits(spare + at, m, items + at, top);
        std::copy(spare + at, spare + at + m, items + at);
    }
}

// Descending order (order 2): keys and counts inverted, so that the radix
// sort orders upwards.
void Downwards(SortItem& it) {
    it.head = ~it.head;
    it.first = KeyReader::kGoesOn - it.first;
}

// Moves data[items[k].line] to data[k] for k in [begin, end), in place along
// the cycles of that permutation, and sets items[k].line to k. Each line is
// moved once; the lines a few steps ahead on the cycle are read ahead (a
// long list is larger than the processor's caches).
template <class T>
void MoveInto(T* data, SortItem* items, size_t begin, size_t end) {
    constexpr size_t kAhead = 8;
    auto fetch = [&](size_t i) {
        const char* p = reinterpret_cast<const char*>(data + i);
        __builtin_prefetch(p);
        __builtin_prefetch(p + sizeof(T) - 1);
    };
    for (size_t k = begin; k < end; ++k) {
        if (items[k].line == k) continue;
        T held = std::move(data[k]);
        size_t ahead = k;
        for (size_t d = 0; d < kAhead && items[ahead].line != k; ++d) {
            ahead = items[ahead].line;
            fetch(ahead);
        }
        size_t j = k;
        for (;;) {
            const size_t from = items[j].line;
            items[j].line = static_cast<uint32_t>(j);
            if (from == k) {
                data[j] = std::move(held);
                break;
            }
            if (ahead != k) {
                ahead = items[ahead].line;
                if (ahead != k) fetch(ahead);
            }
            data[j] = std::move(data[from]);
            j = from;
        }
    }
}

// Settles the order within runs of lines whose keys agree in their first
// bytes. textOf(i) is the text line i is sorted by.
template <class TextOf>
class RunSorter {
public:
    RunSorter(int order, const KeyReader& keys, const TextOf& textOf, SortItem* spare)
        : order_(order), keys_(keys), textOf_(textOf), spare_(spare) {}

    // The run's primary keys are equal in their first off bytes and in the
    // chunk after them, which holds count bytes of them (kGoesOn: the keys
    // are longer).
    void Settle(SortItem* run, size_t n, size_t off, uint32_t count) {
        // Lines with the same text stay as they are.
        const std::string_view t0 = textOf_(run[0].line);
        size_t same = 1;
        while (same < n && textOf_(run[same].line) == t0) ++same;
        if (same == n) return;
        if (count != KeyReader::kGoesOn) {
            // Equal primary keys: the secondary keys decide.
            if (order_ == 6) return;
            std::stable_sort(run, run + n, [&](const SortItem& x, const SortItem& y) {
                return Directed(keys_.CompareSecondary(textOf_(x.line), textOf_(y.line))) < 0;
            });
            return;
        }
        off += 8;
        if (n <= kFewLines) {
            // By insertion: lines equal under the order keep their list order.
            for (size_t i = 1; i < n; ++i) {
                const SortItem x = run[i];
                const std::string_view tx = textOf_(x.line);
                size_t j = i;
                for (; j > 0 && Directed(keys_.Compare(textOf_(run[j - 1].line), tx, off)) > 0; --j) run[j] = run[j - 1];
                run[j] = x;
            }
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            uint32_t c = 0;
            run[i].head = keys_.Chunk(textOf_(run[i].line), off, c);
            run[i].first = c;
            if (order_ == 2) Downwards(run[i]);
        }
        RadixSort(run, n, spare_);
        for (size_t s = 0; s < n;) {
            size_t e = s + 1;
            while (e < n && run[e].head == run[s].head && run[e].first == run[s].first) ++e;
            if (e - s > 1) Settle(run + s, e - s, off, Count(run[s]));
            s = e;
        }
    }

    // The count of key bytes in an item's head.
    uint32_t Count(const SortItem& it) const {
        const uint32_t c = it.first & 255u;
        return order_ == 2 ? KeyReader::kGoesOn - c : c;
    }

private:
    static constexpr size_t kFewLines = 16;
    int Directed(int c) const { return order_ == 2 ? -c : c; }
    int order_;
    const KeyReader& keys_;
    const TextOf& textOf_;
    SortItem* spare_;
};

}  // namespace

void ResultSet::Sort(int order) {
    if (order == sortOrder_) return;
    if (IsKnownOrder(order) && lines_.size() > 1) {
        // What comes before the key and the key's first eight bytes order
        // most lines, by a radix sort; runs of lines that agree there are
        // settled by the bytes that follow. Lines equal under the order keep
        // their list order (the sort is stable). No window events run while
        // sorting: a click must never meet a half-sorted list.
        const size_t n = lines_.size();
        static const FoldTables fold;
        const KeyReader keys(order, fold);
        // Order 99 sorts by the atoms' texts, read where the database keeps
        // them; only a text made of an atom's name is made once per line.
        std::vector<std::string_view> atomTexts;
        std::deque<std::string> madeTexts;
        if (order == 99) {
            atomTexts.reserve(n);
            for (const Line& l : lines_) {
                std::string_view t;
                if (!ListAtoms::TextInPlace(l.a, t)) t = madeTexts.emplace_back(ListAtoms::Text(l.a));
                atomTexts.push_back(t);
            }
        }
        auto textOf = [&](size_t i) -> std::string_view {
            return order == 99 ? atomTexts[i] : order == 6 ? lines_[i].reason : lines_[i].text;
        };
        // The texts are read a few lines ahead of their turn.
        constexpr size_t kAhead = 8;
        auto fetchText = [&](size_t i) {
            if (i >= n || order == 99) return;
            const std::string& t = order == 6 ? lines_[i].reason : lines_[i].text;
            __builtin_prefetch(t.data());
            __builtin_prefetch(t.data() + t.size());
        };

        const auto buffer = std::make_unique_for_overwrite<SortItem[]>(2 * n);
        SortItem* const items = buffer.get();
        SortItem* const spare = items + n;
        for (size_t i = 0; i < n; ++i) {
            fetchText(i + kAhead);
            const Line& l = lines_[i];
            SortItem& it = items[i];
            uint32_t count = 0;
            it.head = keys.Chunk(textOf(i), 0, count);
            it.first = count;
            if (order == 2) Downwards(it);
            // Before the key: order 4 the length, order 5 the kind.
            if (order == 4) it.first |= static_cast<uint32_t>(std::min<size_t>(l.text.size(), 0xffffff)) << 8;
            if (order == 5) it.first |= static_cast<uint32_t>(ListAtoms::Kind(l.a) + 0x8000) << 8;
            it.line = static_cast<uint32_t>(i);
        }
        RadixSort(items, n, spare);
        if (order == 99) {
            std::vector<std::string_view> sorted;
            sorted.reserve(n);
            for (size_t k = 0; k < n; ++k) sorted.push_back(atomTexts[items[k].line]);
            atomTexts = std::move(sorted);
        }
        // The lines in that order, moved in place (a new list would be new
        // memory as large as the list).
        MoveInto(lines_.data(), items, 0, n);

        // Runs of lines that agree in the radix sort's key: lines with the
        // same text (order 99: of the same atom) stay as they are.
        RunSorter runs(order, keys, textOf, spare);
        auto sameKey = [&](size_t i, size_t j) { return items[i].head == items[j].head && items[i].first == items[j].first; };
        size_t fetched = 0;
        for (size_t s = 0; s < n;) {
            size_t e = s + 1;
            while (e < n && sameKey(e, s)) ++e;
            for (; fetched < std::min(n - 1, e + kAhead); ++fetched)
                if (sameKey(fetched, fetched + 1)) {
                    fetchText(fetched);
                    fetchText(fetched + 1);
                }
            if (e - s > 1) {
                const std::string_view t0 = textOf(s);
                bool same = true;
                for (size_t k = s + 1; k < e && same; ++k) same = order == 99 ? lines_[k].a == lines_[s].a : textOf(k) == t0;
                if (!same) {
                    runs.Settle(items + s, e - s, 0, runs.Count(items[s]));
                    MoveInto(lines_.data(), items, s, e);
                }
            }
            s = e;
        }
    }
    sortOrder_ = order;
}

// --- display ----------------------------------------------------------------------------

void ResultSet::Show(Services::Progress* progress) {
    if (countLabel_) countLabel_->SetCaption(std::to_string(numLines()));
    if (titleLabel_) titleLabel_->SetCaption(title());
    if (!control_) return;
    const DisplayKind kind = control_->Kind();
    const bool busy = numLines() > kBusyRenderLines &&
                      (kind == DisplayKind::ListView || kind == DisplayKind::TextDisplay);
    if (busy) Services::HourglassOn();
    control_->Render(*this, progress);
    if (busy) Services::HourglassOff();
}

void ResultSet::markLine(int32_t i) {
    if (lines_.empty()) return;
    const bool ok = i >= -1 && i < numLines();
    Assert(ok, "Mark");
    if (!ok) return;
    if (control_) control_->Select(i);
    marked_ = i;
}

void ResultSet::SyncMarked() {
    if (!control_) return;
    const DisplayKind kind = control_->Kind();
    if (kind != DisplayKind::ListBox && kind != DisplayKind::ListView) return;
    const int32_t sel = control_->SelectedLine();
    if (sel >= numLines()) return;
    if (sel < 0) {
        // A list box without selection has no marked line; a list view
        // without a selected item keeps its mark.
        if (kind == DisplayKind::ListBox) marked_ = -1;
        return;
    }
    marked_ = sel;
}

int32_t ResultSet::SelIndex() const {
    if (control_ && (control_->Kind() == DisplayKind::ListBox || control_->Kind() == DisplayKind::ListView))
        return control_->SelectedLine();
    Assert(false, "SelIndex ObjType");
    return 0;
}
