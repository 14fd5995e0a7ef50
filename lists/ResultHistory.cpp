#include "ResultHistory.h"

#include <algorithm>
#include <string>

#include "Basic.h"
#include "Errors.h"

void ResultHistory::Init() {
    curSet_.reset();
    sets_.clear();
    curIndex_ = Basic::kNone;
    historyList_.reset();
    busy_ = false;
    showSets_ = true;
}

std::shared_ptr<ResultSet> ResultHistory::current() const { return sets_.empty() ? nullptr : curSet_; }

std::shared_ptr<ResultSet> ResultHistory::resSet(int i) const {
    const bool ok = i >= 0 && i < numSets();
    Errors::Assert(ok, "resSet " + std::to_string(i));
    return ok ? sets_[static_cast<std::size_t>(i)] : nullptr;
}

void ResultHistory::DeactivateAll() {
    for (auto& s : sets_)
        if (s) s->setActive(false);
}

void ResultHistory::Add(std::shared_ptr<ResultSet> rs) {
    if (numSets() == kMaxSets) sets_.erase(sets_.begin());
    sets_.push_back(rs);
    curSet_ = rs;
    DeactivateAll();
    if (rs) rs->setActive(true);
    curIndex_ = numSets() - 1;
    FillListBox();
}

void ResultHistory::FillListBox() {
    if (!historyList_) return;
    historyList_->Reset();
    for (const auto& s : sets_)
        historyList_->AddResult(s ? s->title() : std::string(), "", s ? s->selfAtom() : nullptr);
    historyList_->Show(nullptr);
    if (!sets_.empty()) historyList_->markLine(curIndex_);
}

int ResultHistory::RemoveIf(const std::function<bool(const ResultSet&)>& drop) {
    std::vector<std::shared_ptr<ResultSet>> kept;
    int newIndex = -1;
    for (int i = 0; i < numSets(); ++i) {
        const auto& s = sets_[static_cast<std::size_t>(i)];
        if (s && drop(*s)) continue;
        if (i <= curIndex_) newIndex = static_cast<int>(kept.size());
        kept.push_back(s);
    }
    const int removed = numSets() - static_cast<int>(kept.size());
    if (removed == 0) return 0;
    sets_.swap(kept);
    if (sets_.empty()) {
        curSet_.reset();
        curIndex_ = Basic::kNone;
    } else {
        curIndex_ = std::max(newIndex, 0);
        curSet_ = sets_[static_cast<std::size_t>(curIndex_)];
    }
    FillListBox();
    return removed;
}

int ResultHistory::Renew(const std::function<std::shared_ptr<ResultSet>(const ResultSet&)>& renew) {
    // A set kept twice in a row is renewed once, and stays one set.
    std::vector<std::pair<ResultSet*, std::shared_ptr<ResultSet>>> done;
    int renewed = 0;
    for (auto& s : sets_) {
        if (!s) continue;
        auto same = std::find_if(done.begin(), done.end(), [&](const auto& d) { return d.first == s.get(); });
        if (same == done.end()) same = done.insert(done.end(), {s.get(), renew(*s)});
        if (!same->second) continue;
        if (s == curSet_) curSet_ = same->second;
        s = same->second;
        ++renewed;
    }
    if (renewed == 0) return 0;
    DeactivateAll();
    if (curSet_) curSet_->setActive(true);
    FillListBox();
    return renewed;
}

void ResultHistory::ShowHistorySet(const std::shared_ptr<ResultSet>& rs) {
    if (!rs || busy_ || !showSets_) return;
    DeactivateAll();
    rs->setActive(true);
    rs->Show(nullptr);
    if (historyList_) {
        busy_ = true;
        historyList_->markLine(curIndex_);
        busy_ = false;
    }
    if (rs->marked() >= 0) rs->markLine(rs->marked());
}

void ResultHistory::SetCurrent(int i) {
    const bool ok = i >= 0 && i < numSets();
    Errors::Assert(ok, "SetCurrent");
    if (!ok) return;
    curIndex_ = i;
    curSet_ = sets_[static_cast<std::size_t>(i)];
    ShowHistorySet(curSet_);
}

std::shared_ptr<ResultSet> ResultHistory::Step(int direction) {
    const int n = numSets();
    if (n == 0) return nullptr;
    const int limit = direction > 0 ? n - 1 : 0;
    if (curIndex_ == limit || curIndex_ < 0 || curIndex_ >= n) return nullptr;
    curIndex_ += direction;
    std::shared_ptr<ResultSet> rs = sets_[static_cast<std::size_t>(curIndex_)];
    // The same set kept twice in a row is stepped over once.
    if (rs == curSet_ && curIndex_ != limit) {
        curIndex_ += direction;
        rs = sets_[static_cast<std::size_t>(curIndex_)];
    }
    curSet_ = rs;
    ShowHistorySet(rs);
    return rs;
}

std::shared_ptr<ResultSet> ResultHistory::GoForward() { return Step(+1); }
std::shared_ptr<ResultSet> ResultHistory::GoBack() { return Step(-1); }
