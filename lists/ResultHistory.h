// ResultHistory: back and forward over the last 20 lists a window has shown,
// with an optional list of their titles.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ResultSet.h"

class ResultHistory {
public:
    static constexpr int kMaxSets = 20;

    ResultHistory() { Init(); }
    // Empties the history and unbinds the title list.
    void Init();

    // The current set; none while the history is empty.
    std::shared_ptr<ResultSet> current() const;
    // The set in slot i (0 = oldest); asserts "resSet " & i beyond the end.
    std::shared_ptr<ResultSet> resSet(int i) const;
    int numSets() const { return static_cast<int>(sets_.size()); }
    // 31999 while the history is empty.
    int curIndex() const { return curIndex_; }
    // When off, moving through the history changes the current set without
    // showing it.
    void showSets(bool on) { showSets_ = on; }

    // Keeps rs as the newest and current set (the oldest goes beyond 20). The
    // caller shows rs.
    void Add(std::shared_ptr<ResultSet> rs);
    // Makes slot i current and shows it (the window's pick in the title list).
    void SetCurrent(int i);
    // One set forward or back, shown; none at either end.
    std::shared_ptr<ResultSet> GoForward();
    std::shared_ptr<ResultSet> GoBack();
    // Leaves out the sets `drop` is true of and gives their number. When the
    // current one goes, the nearest kept one before it becomes current (the
    // first one after it when none is before); nothing is shown.
    int RemoveIf(const std::function<bool(const ResultSet&)>& drop);
    // Puts in a set's place what `renew` gives for it (nothing: the set
    // stays) and gives their number; the current slot stays current, and
    // nothing is shown.
    int Renew(const std::function<std::shared_ptr<ResultSet>(const ResultSet&)>& renew);
    // The list that shows one title line per kept set.
    void SetListBox(std::shared_ptr<ResultSet> rs) { historyList_ = std::move(rs); }

private:
    void DeactivateAll();
    void FillListBox();
    void ShowHistorySet(const std::shared_ptr<ResultSet>& rs);
    std::shared_ptr<ResultSet> Step(int direction);

    std::shared_ptr<ResultSet> curSet_;
    int curIndex_ = 31999;
    std::vector<std::shared_ptr<ResultSet>> sets_;
    std::shared_ptr<ResultSet> historyList_;
    bool busy_ = false;
    bool showSets_ = true;
};
