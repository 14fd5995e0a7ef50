#include "ResultSet.h"

#include "Searches.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "Basic.h"
#include "Errors.h"
#include "FlexString.h"
#include "ListBusy.h"
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
    return ListNumberPrefix(id_) + Searches::ResultSizeText(*this) + pureTitle_;
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

// The two passes of TextCompare::Compare as bytes: each character without
// its accent and case (the first), then without its case only (the second).
// Comparing two texts' first keys bytewise (a prefix first), then their
// second keys, orders as that comparison does.
void AppendFolded(std::string& first, std::string& second, std::string_view text, bool reversed) {
    const Parser::CodeTable& f = Parser::PlatformUpperTable();
    const Parser::CodeTable& base = Parser::BaseTable();
    const size_t n = text.size();
    const size_t at = first.size(), at2 = second.size();
    first.resize(at + n);
    second.resize(at2 + n);
    char* a = first.data() + at;
    char* b = second.data() + at2;
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(reversed ? text[n - 1 - i] : text[i]);
        a[i] = static_cast<char>(f[base[c]]);
        b[i] = static_cast<char>(f[c]);
    }
}

// Order 3: the last character (without, then with its accent), then the
// text read backwards; the second key gets two blanks in their place.
void AppendLastLetterKeys(std::string& first, std::string& second, std::string_view text) {
    if (text.empty()) return;
    const auto last = static_cast<unsigned char>(text.back());
    first.push_back(static_cast<char>(Parser::PlatformUpperTable()[Parser::BaseTable()[last]]));
    first.push_back(static_cast<char>(Parser::PlatformUpperTable()[last]));
    second.append(2, ' ');
    AppendFolded(first, second, text, true);
}

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

void ResultSet::Sort(int order) {
    if (order == sortOrder_) return;
    if (IsKnownOrder(order)) {
        const auto n = static_cast<size_t>(numLines());
        // Each line's key is made once, all of them in one buffer; the sort
        // moves small items that point into it. Lines with equal keys are
        // told apart by the full comparison, and lines equal under it keep
        // their list order (a stable sort). No window events run while
        // sorting: a click must never meet a half-sorted list.
        std::vector<std::string> texts;  // order 99: the atoms' texts
        if (order == 99) {
            texts.reserve(n);
            for (size_t i = 0; i < n; ++i) texts.push_back(ListAtoms::Text(lines_[i].a));
        }
        struct Item {
            uint64_t head;  // the key's first eight bytes, big-endian, zeros after its end
            uint32_t at;    // the key's offset in keys
            uint32_t size;  // its length
            int32_t line;   // index in lines_
            int32_t first;  // compared before the key: order 4 the length, order 5 the kind
        };
        std::string keys, seconds;  // the keys side by side, at the same offsets
        size_t total = 0;
        for (size_t i = 0; i < n; ++i)
            total += 2 + (order == 99 ? texts[i].size() : order == 6 ? lines_[i].reason.size() : lines_[i].text.size());
        keys.reserve(total);
        seconds.reserve(total);
        std::vector<Item> items(n);
        for (size_t i = 0; i < n; ++i) {
            const Line& l = lines_[i];
            const std::string_view t = order == 99 ? std::string_view(texts[i])
                                       : order == 6 ? std::string_view(l.reason)
                                                    : std::string_view(l.text);
            Item& it = items[i];
            it.at = static_cast<uint32_t>(keys.size());
            if (order == 6) keys.append(t);  // by the codes as they are
            else if (order == 3) AppendLastLetterKeys(keys, seconds, t);
            else AppendFolded(keys, seconds, t, false);
            it.size = static_cast<uint32_t>(keys.size() - it.at);
            it.head = 0;
            for (size_t k = 0; k < 8; ++k)
                it.head = (it.head << 8) | (k < it.size ? static_cast<unsigned char>(keys[it.at + k]) : 0u);
            it.line = static_cast<int32_t>(i);
            it.first = order == 4 ? static_cast<int32_t>(std::min<size_t>(l.text.size(), INT32_MAX))
                       : order == 5 ? ListAtoms::Kind(l.a)
                                    : 0;
        }
        const std::string_view all(keys), all2(seconds);
        // > 0 when x belongs after y; 0 for lines equal under the order.
        auto compare = [&](const Item& x, const Item& y) {
            if (x.first != y.first) return x.first > y.first ? 1 : -1;
            // Keys whose heads differ are ordered by them as by their bytes (a
            // key that ends there is a prefix of the other): most comparisons
            // end here, without reading the keys' buffer.
            int c = x.head != y.head ? (x.head > y.head ? 1 : -1)
                                     : Sign(all.substr(x.at, x.size).compare(all.substr(y.at, y.size)));
            if (c == 0 && order != 6) c = Sign(all2.substr(x.at, x.size).compare(all2.substr(y.at, y.size)));
            return order == 2 ? -c : c;
        };
        std::stable_sort(items.begin(), items.end(), [&](const Item& x, const Item& y) { return compare(x, y) < 0; });
        std::vector<Line> sorted;
        sorted.reserve(n);
        for (const Item& it : items) sorted.push_back(std::move(lines_[static_cast<size_t>(it.line)]));
        lines_ = std::move(sorted);
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
    if (busy) ListBusy::On();
    control_->Render(*this, progress);
    if (busy) ListBusy::Off();
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
