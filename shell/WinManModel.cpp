#include "WinManModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Basic.h"

namespace WinModel {

namespace {

// No screen is a million pixels wide: a larger number is a damaged value.
constexpr double kMaxTwips = 15.0 * 1000000;

// Takes the text up to the first "," (and the comma) off the front.
bool NextRectNumber(std::string_view& text, double& value) {
    if (text.empty()) return false;
    size_t comma = text.find(',');
    std::string_view piece = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    value = Basic::Val(piece);
    return true;
}

struct DefaultRow {
    std::string_view name;
    WindowRect rect;
};

constexpr double K = kKeepSize;
constexpr DefaultRow kDefaults[] = {
    {"Alpha", {0, 0, 7230, 10035}},       {"Favorites", {100, 100, 6690, 9975}},
    {"NameDays", {510, 1215, 6495, 10470}}, {"NameLists", {0, 885, 7290, 10710}},
    {"OrigLang", {510, 1660, 6645, 9780}}, {"OrigWord", {0, 1170, 7620, 10455}},
    {"Realm", {465, 5040, 6570, 6330}},    {"SingleName", {0, 405, 6630, 9750}},
    {"UserNames", {90, 1425, K, K}},       {"Pop", {405, 405, 6720, 10635}},
    {"Export", {0, 0, K, K}},              {"FullText", {0, 0, K, K}},
    {"Lang", {0, 0, K, K}},                {"LetterMix", {0, 0, K, K}},
    {"Lexi", {0, 0, K, K}},                {"ListOp", {0, 0, K, K}},
    {"OptionEntry", {0, 0, K, K}},         {"PickRandom", {0, 0, K, K}},
    {"Similar", {0, 0, K, K}},             {"StdLists", {0, 0, K, K}},
    {"TutSelect", {0, 0, K, K}},           {"Tutor", {0, 0, K, K}},
    {"DebugGraph", {300, 300, K, K}},
    {"ShortHelp", {0, 0, K, K}},
    // The windows without a function of their own: right of where the
    // others open, a title bar apart so that none hides another.
    {"Translate", {0, 7500, K, K}},        {"NameTables", {360, 7650, K, K}},
    {"DebugMain", {720, 7800, K, K}},      {"DataEntry", {1080, 7950, K, K}},
    {"PersonEntry", {1440, 8100, K, K}},   {"Load", {1800, 8250, K, K}},
    {"DebugInfo", {2160, 8400, K, K}},     {"GenPop", {2520, 8550, K, K}},
    {"Harmony", {2880, 8700, K, K}},
};

// The start of a stretch of the given length moved into [0, bound]: the
// whole stretch inside when it fits, else at 0. A length of 0 (unknown) keeps
// kMinVisible inside; a bound of 0 (unknown) mends only a negative start.
double FitStart(double pos, double length, double bound) {
    if (!(pos >= 0)) pos = 0;
    if (bound <= 0) return pos;
    double room = bound - (length > 0 ? length : kMinVisible);
    if (pos > room) pos = room;
    return pos < 0 ? 0 : pos;
}

bool Usable(const WindowRect& r) { return r.width >= kMinUsableWidth && r.height >= kMinUsableHeight; }

}  // namespace

std::optional<StoredPosition> ParseWindowRect(std::string_view text) {
    StoredPosition p;
    double state = 0;
    double* fields[] = {&p.rect.top, &p.rect.left, &p.rect.height, &p.rect.width, &state};
    for (double* f : fields) {
        if (!NextRectNumber(text, *f)) return std::nullopt;
        if (!std::isfinite(*f) || std::fabs(*f) > kMaxTwips) return std::nullopt;
    }
    if (p.rect.height <= 0 || p.rect.width <= 0) return std::nullopt;
    int s = Basic::CLng(state);
    p.state = (s >= kNormal && s <= kMaximized) ? s : kNormal;
    return p;
}

std::string FormatNumber(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (res.ec != std::errc()) return "0";
    return std::string(buf, res.ptr);
}

std::string FormatWindowRect(const WindowRect& r, int state) {
    return FormatNumber(r.top) + "," + FormatNumber(r.left) + "," + FormatNumber(r.height) + "," +
           FormatNumber(r.width) + "," + std::to_string(state);
}

std::optional<WindowRect> DefaultRect(std::string_view name) {
    for (const DefaultRow& row : kDefaults)
        if (row.name == name) return row.rect;
    return std::nullopt;
}

WindowRect DefaultFrameRect(double screenWidth, double screenHeight) {
    WindowRect r;
    r.top = screenHeight / 12;
    r.left = screenWidth / 12;
    r.height = screenHeight - 2 * r.top;
    r.width = screenWidth - 2 * r.left;
    if (r.width / 15 > 1000) r.width = 15000;
    if (r.height / 15 > 800) r.height = 12000;
    return r;
}

Placement Place(const PlaceRequest& q) {
    auto sizeApplies = [&q](const WindowRect& r) { return r.width != kKeepSize && (q.isFrame || q.sizable); };
    WindowRect r = q.rect;
    bool applySize = sizeApplies(r);
    if (applySize && !Usable(r) && q.fallback) {
        r = *q.fallback;
        applySize = sizeApplies(r);
    }
    if (applySize && !Usable(r)) {
        // Nothing usable to size it by: its own size, the stored position.
        r.top = q.rect.top;
        r.left = q.rect.left;
        applySize = false;
    }

    // The room for the rectangle: the area less the border around it.
    auto room = [](double bound, double border) { return bound > 0 ? std::max(0.0, bound - border) : 0.0; };
    const double boundsHeight = room(q.boundsHeight, q.borderHeight), boundsWidth = room(q.boundsWidth, q.borderWidth);

    Placement p;
    p.top = r.top + ((q.isFrame || q.isTutor) ? 0 : q.bandOffset);
    p.left = r.left;
    p.applySize = applySize;
    double height = q.ownHeight, width = q.ownWidth;
    if (applySize) {
        auto fit = [](double length, double bound, double minimum) {
            return bound > 0 && length > bound ? std::max(bound, minimum) : length;
        };
        p.height = height = fit(r.height, boundsHeight, kMinUsableHeight);
        p.width = width = fit(r.width, boundsWidth, kMinUsableWidth);
        p.state = (q.state >= kNormal && q.state <= kMaximized) ? q.state : kNormal;
    }
    p.top = q.boundsTop + FitStart(p.top - q.boundsTop, height, boundsHeight);
    p.left = q.boundsLeft + FitStart(p.left - q.boundsLeft, width, boundsWidth);
    return p;
}

double StoredTop(double top, double bandOffset, bool isTutorOrFrame) {
    if (isTutorOrFrame) return top;
    double t = top - bandOffset;
    return t < 0 ? 0 : t;
}

double ShiftedTop(double top, double delta) {
    double t = top + delta;
    return t < 0 ? 0 : t;
}

std::vector<std::string> ParseOpenList(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view piece = text.substr(0, comma);
        if (!piece.empty()) names.emplace_back(piece);
        if (comma == std::string_view::npos) break;
        text = text.substr(comma + 1);
    }
    return names;
}

bool ExcludedFromOpenList(std::string_view name) {
    return name == "Tutor" || name == "Quiz" || name == "Similar";
}

OpenList ReadOpenList(std::string_view text, const std::function<bool(const std::string&)>& known) {
    constexpr std::size_t kShown = 200;  // of the skipped names, for the log
    OpenList list;
    for (std::string& name : ParseOpenList(text)) {
        const bool ok = known(name) && !ExcludedFromOpenList(name) &&
                        std::find(list.names.begin(), list.names.end(), name) == list.names.end();
        if (ok) {
            list.names.push_back(std::move(name));
            continue;
        }
        ++list.skipped;
        if (list.skippedText.size() >= kShown) continue;
        if (!list.skippedText.empty()) list.skippedText += ",";
        list.skippedText += name.substr(0, kShown);
    }
    return list;
}

// --- WindowHistory ------------------------------------------------------------

int WindowHistory::Find(Key key) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key == key) return static_cast<int>(i);
    return -1;
}

void WindowHistory::MoveToEnd(int index) {
    Entry e = entries_[index];
    entries_.erase(entries_.begin() + index);
    entries_.push_back(std::move(e));
}

void WindowHistory::CurrentIsLast() {
    current_ = entries_.empty() ? kNoCurrent : Count() - 1;
}

void WindowHistory::Activate(Key key, const std::string& name) {
    if (current_ != kNoCurrent && entries_[current_].key != key && current_ != Count() - 1) {
        MoveToEnd(current_);
        current_ = Count() - 1;
    }
    int index = Find(key);
    if (index >= 0 && index == current_) return;
    if (index >= 0)
        MoveToEnd(index);
    else
        entries_.push_back(Entry{key, name});
    current_ = Count() - 1;
}

bool WindowHistory::Remove(Key key) {
    int index = Find(key);
    if (index < 0) return false;
    entries_.erase(entries_.begin() + index);
    CurrentIsLast();
    return true;
}

void WindowHistory::DropIf(const std::function<bool(Key)>& hidden) {
    Key current = Current();
    size_t before = entries_.size();
    std::erase_if(entries_, [&](const Entry& e) { return hidden(e.key); });
    if (entries_.size() == before) return;
    int index = current ? Find(current) : -1;
    if (index >= 0)
        current_ = index;
    else
        CurrentIsLast();
}

std::optional<WindowHistory::Key> WindowHistory::Back() {
    if (current_ == kNoCurrent || current_ < 1) return std::nullopt;
    --current_;
    return entries_[current_].key;
}

std::optional<WindowHistory::Key> WindowHistory::Forward() {
    if (current_ == kNoCurrent || current_ >= Count() - 1) return std::nullopt;
    ++current_;
    return entries_[current_].key;
}

bool WindowHistory::IsCurrent(Key key) const {
    return current_ != kNoCurrent && entries_[current_].key == key;
}

WindowHistory::Key WindowHistory::Current() const {
    return current_ == kNoCurrent ? nullptr : entries_[current_].key;
}

void WindowHistory::Clear() {
    entries_.clear();
    current_ = kNoCurrent;
}

std::string WindowHistory::OpenListText() const {
    std::string text;
    for (const Entry& e : entries_) {
        if (ExcludedFromOpenList(e.name)) continue;
        if (!text.empty()) text += ",";
        text += e.name;
    }
    return text;
}

}  // namespace WinModel
