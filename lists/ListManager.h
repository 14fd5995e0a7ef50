// The list manager: the one owner of the current list and of the history of
// lists. Every new list of the program passes through NewRes, which applies
// the user's automatic filters and conversions in a fixed order, numbers the
// list, sorts it, keeps it in the history (at most 20) and shows it; every
// change of the current list (not a re-sort) is broadcast to all windows.
//
// This is the part that needs no widgets. The Manage Lists window
// ("NameLists") is its host: it makes the display lists, tells which
// automatic steps are checked and which sort order new lists get, and shows
// what the manager hands it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ResultHistory.h"
#include "ResultSet.h"

class atom;

namespace ListManager {

// The six steps, in the order a new list goes through them.
enum class Step : int { FemaleOnly = 0, MaleOnly, ToNames, ToGroups, NamesOnly, GroupsOnly };
constexpr int kNumSteps = 6;
constexpr std::array<Step, kNumSteps> kStepOrder = {Step::FemaleOnly, Step::MaleOnly, Step::ToNames,
                                                     Step::ToGroups,   Step::NamesOnly, Step::GroupsOnly};

// Sort orders of lists (ResultSet::Sort codes 0-6), and their texts in the
// text language.
constexpr int kNumSortOrders = 7;
std::string SortOrderText(int code);

// Female: kind 1 or 3; male: kind 0 or 2. No atom is neither.
bool IsOfGender(const atom* a, bool female);
// Groups: kind 2 or 3; names: kind 0 or 1.
bool IsNameOrGroup(const atom* a, bool groups);

// Each builds a new internal list from the lines of rs (which stays as it
// is) and gives the title suffix of the step.
std::shared_ptr<ResultSet> FilterGender(const ResultSet& rs, bool female, std::string& suffix);
std::shared_ptr<ResultSet> FilterNamesGroups(const ResultSet& rs, bool groups, std::string& suffix);
// To groups: each name becomes its group (first prGenName), each group
// stands once at its first occurrence; a name without group drops out. To
// names: each group becomes its names (prNameVariant targets of kind 0 or
// 1); duplicates stay. Every line shows its atom's text alone.
std::shared_ptr<ResultSet> ConvertNamesGroups(const ResultSet& rs, bool toGroups, std::string& suffix);
std::shared_ptr<ResultSet> RunStep(Step step, const ResultSet& rs, std::string& suffix);

// "12 names+3 groups in current list" / "... in aktueller Liste".
std::string CurrentListCaption(const ResultSet& rs);

// What the manager needs of its window.
class Host {
public:
    virtual ~Host() = default;
    // A new, empty list bound to the window's names view, with title as its
    // pure title, reasons and colours shown.
    virtual std::shared_ptr<ResultSet> CreateResultSet(const std::string& title) = 0;
    // Whether the automatic step's check box is checked.
    virtual bool AutoStepChecked(Step step) const = 0;
    // The sort order chosen for new lists.
    virtual int NewSortOrder() const = 0;
    // Shows and activates the window; pending events may run once.
    virtual void ShowWindow() = 0;
    // Shows the sort order of the current list (never re-sorting it).
    virtual void ShowSortOrder(int code) = 0;
    // The title of the current list (empty: none).
    virtual void ShowCurrentTitle(const std::string& title) = 0;
    // The caption above the names of the current list.
    virtual void ShowNamesCaption(const std::string& caption) = 0;
    // Tells every window that the set of lists changed (Notify code 2).
    virtual void ListsChanged() = 0;
};

class Manager {
public:
    static constexpr int kFirstListId = 1;

    // Empty history listed in historyList (may be null), numbering from 1.
    void Init(Host* host, std::shared_ptr<ResultSet> historyList);

    // The road of a new list (rs is replaced when an automatic step runs).
    // Ends with one release of the busy cursor.
    void NewRes(std::shared_ptr<ResultSet>& rs);
    // Makes the window show rs as the current list and broadcasts the change.
    void ShowSet(const std::shared_ptr<ResultSet>& rs);

    std::shared_ptr<ResultSet> current() const { return history_.current(); }
    ResultHistory& history() { return history_; }
    const ResultHistory& history() const { return history_; }
    int nextListId() const { return nextListId_; }

    // Back and forward in the history, and a pick of entry i (0 oldest): the
    // list reached becomes current and the change is broadcast. Nothing at
    // either end.
    void GoBack();
    void GoForward();
    void SetCurrent(int i);
    // Sorts the current list anew in place; no broadcast, no new number.
    void ResortCurrent(int code);
    // The step run by hand on the current list: a new internal list with
    // its suffix; null without a current list.
    std::shared_ptr<ResultSet> StepOnCurrent(Step step, std::string& suffix) const;

    // True while a new list is on its road (events let run meanwhile must
    // not switch or re-sort lists).
    bool Busy() const { return busy_; }

private:
    Host* host_ = nullptr;
    ResultHistory history_;
    int32_t nextListId_ = kFirstListId;
    bool busy_ = false;
};

}  // namespace ListManager
