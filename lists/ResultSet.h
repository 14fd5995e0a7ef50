// ResultSet: the one list type of the program.
//
// Every search result, description (one line of mark-up per line), history
// and browse list, the favorites and the list manager's lists are ResultSets.
// A line is three things that always move together: the display text
// (columns separated by TAB), a hidden reason (why the line is there) and an
// atom (may be none). The list keeps the counts of names and groups, a title
// with an optional list number, the order it is sorted in, one marked line,
// a browsing cursor, and the switches its display binding reads.
//
// Lists are shared between windows, histories and browse lists through
// std::shared_ptr<ResultSet>; the atoms belong to the database and are held
// as plain pointers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "AtomAccess.h"
#include "ResultDisplay.h"

class searchInfo;  // the terms of a full-text search (searches module)

// One line of a list as the settings store holds it: display text, reason
// and the internal name of its atom ("" for a line without atom).
struct StoredLine {
    std::string text, reason, name;
    bool operator==(const StoredLine&) const = default;
};
// A list's value in the settings and its lines, byte for byte as ResultSet
// writes and reads it: "0,2,Anna,,naAnna,Maria%09kind,,naMaria,//" is Anna
// without and Maria with the comment "kind". The reading takes as many lines
// as the value promises while its fields last; endsWell (when given) tells
// whether what follows the lines it promised is the closing "//".
std::vector<StoredLine> ParseStoredLines(const std::string& value, bool* endsWell = nullptr);
std::string StoredLinesText(const std::vector<StoredLine>& lines);

// The display switches and sizes of a list: plain data that the display
// binding reads when it renders and sizes the control.
struct ResultSetView {
    bool ShowRank = false;       // "n. " before each line
    bool ShowReason = false;     // the reason after the text
    bool ShowColor = false;      // atoms in their kind's colour
    bool showLinks = false;      // link tags become links
    bool showSelfLinks = false;  // links to selfAtom too
    bool Expand = true;          // dot leaders between rich-text columns
    bool Break = false;          // AddResult2 wraps column 2
    int breakWidth = 0;          // wrap width of column 2, pixels
    bool active = true;          // passed on to a bound rich-text pane
    int numCol = 1;
    double colFrac1 = 0, colFrac2 = 0;
    bool cellFormatting = false;  // list-view cells read cell mark-up
    std::string ToolTipText;
    // Bound control's position and size (twips), read at Init.
    double ctlHeight = 0, ctlWidth = 0, ctlTop = 0, ctlLeft = 0;
    // Fitting the control to its window (done by the Qt layer).
    bool resizeHeight = false, resizeWidth = false;
    double bottomMargin = 0, rightMargin = 0;
};

class ResultSet {
public:
    // A new list is internal (as after InitInt).
    ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // --- binding -------------------------------------------------------------
    // Binds the list to a control (or none) with its labels; empties the list
    // and sets every switch back to its start value.
    void Init(const std::string& title, ResultLabel* titleLabel, const std::string& tipText,
              ResultLabel* countLabel, ResultDisplay* control);
    // Init with an empty title, no labels, no tooltip and no control.
    void InitInt();
    // Forgets the control and labels (before they go away).
    void Unbind();
    ResultDisplay* display() const { return control_; }

    // --- titles and numbers --------------------------------------------------
    // The composed title: list number, size text and pure title; the fixed
    // title when the pure title is empty.
    std::string title() const;
    void setTitle(const std::string& title) { title_ = title; }
    const std::string& fixedTitle() const { return title_; }
    const std::string& pureTitle() const { return pureTitle_; }
    void setPureTitle(const std::string& t) { pureTitle_ = t; }
    int id() const { return id_; }
    void setId(int id) { id_ = id; }

    int32_t numLines() const { return static_cast<int32_t>(lines_.size()); }
    int32_t NumNames() const { return numNames_; }
    int32_t numGenNames() const { return numGenNames_; }
    // Highest index the line storage holds; grows in steps of 50.
    int32_t capacity() const { return capacity_; }

    // --- lines (an index at or above numLines asserts "mNumLines") ----------
    std::string line(int32_t i) const;
    void setFullLine(int32_t i, const std::string& text);  // counts, order kept
    std::string reason(int32_t i) const;
    void setReason(int32_t i, const std::string& reason);  // counts, order kept
    ::atom* atom(int32_t i) const;
    // Operation marks kept in the line's atom.
    int32_t Mark(int32_t i) const;
    int32_t markIndex(int32_t i) const;
    // The atom of line i gets Mark = tag and markIndex = i.
    void SetMark(int32_t i, int32_t tag);

    ::atom* selfAtom() const { return selfAtom_; }
    void setSelfAtom(::atom* a) { selfAtom_ = a; }
    const std::shared_ptr<::searchInfo>& searchInfo() const { return searchInfo_; }
    void setSearchInfo(std::shared_ptr<::searchInfo> info) { searchInfo_ = std::move(info); }
    int SortOrder() const { return sortOrder_; }
    int32_t marked() const { return marked_; }
    // The atom of the marked line; none when nothing is marked.
    ::atom* current() const;
    int32_t curPos() const { return curPos_; }

    // --- switches ------------------------------------------------------------
    void ShowRank() { view.ShowRank = true; }
    void ShowReason() { view.ShowReason = true; }
    void ShowColor() { view.ShowColor = true; }
    void showLinks() { view.showLinks = true; }
    void ShowUnique() { showUnique_ = true; }
    bool isUnique() const { return showUnique_; }
    void Expand(bool on) { view.Expand = on; }
    void showSelfLinks(bool on) { view.showSelfLinks = on; }
    void setToolTipText(const std::string& text);
    void setActive(bool on);
    void setNumCol(int n) { view.numCol = n; }
    void setCellFormatting(bool on) { view.cellFormatting = on; }
    // Switches wrapping of column 2 on; with a list view the wrap width is
    // its second column's width.
    void Break();
    void DefineOneCol(const std::string& title);
    void DefineTwoCol(const std::string& title1, double frac1, const std::string& title2, double frac2);
    void DefineNCol(const std::vector<std::string>& titles, const std::vector<double>& fracs);

    // --- adding, changing, removing ----------------------------------------------
    void AddResult(const std::string& line, const std::string& reason, ::atom* a);
    void AddResult2(const std::string& col1, const std::string& col2, const std::string& reason, ::atom* a);
    void AddFrom(const ResultSet& rs, int32_t i);
    // Appends every line of rs and takes its searchInfo; rs may be this list.
    void AddAllFrom(const ResultSet& rs);
    // Empties the list (titles, switches and storage stay).
    void Reset();
    // The first line whose atom is a (the same object); false and index =
    // numLines when there is none.
    bool GetAtomIndex(const ::atom* a, int32_t& index) const;
    // The atoms of all lines from index 0 (arr grows when too small).
    int32_t GetAtoms(std::vector<::atom*>& arr) const;
    void ModifyCurrent(const std::string& line, ::atom* a);
    void ModifyCurrent2(const std::string& col1, const std::string& col2, ::atom* a);
    void DelMarked();
    void MoveMarkedUp();
    void MoveMarkedDown();

    // --- browsing ------------------------------------------------------------------
    void CurPosToMarked();
    ::atom* GoBegin();
    ::atom* GoForward();
    ::atom* GoBack();
    ::atom* GoEnd();

    // --- order ---------------------------------------------------------------------
    // 1 text, 2 text descending, 3 text from its end, 4 length then text,
    // 5 kind then text, 6 reason (by codes), 99 atom text; other orders move
    // nothing. Sorting again in the list's current order does nothing.
    void Sort(int order);

    // --- display -------------------------------------------------------------------
    // Fills the labels and renders the lines into the bound control.
    void Show(Services::Progress* progress = nullptr);
    // Marks line i and selects it in the control; nothing on an empty list.
    void markLine(int32_t i);
    // Takes the control's selection as the marked line (list box, list view).
    void SyncMarked();
    // The line of the control's selection without changing the mark.
    int32_t SelIndex() const;

    // --- keeping lists outside the program ---------------------------------------
    // List files; both report every failure themselves, in one message (the
    // disk error, the structure message, or for a text too long for the
    // format "could not be saved"), and return false. Save replaces the file
    // only when the new one is complete.
    bool Save(const std::string& path, Services::Progress* progress = nullptr) const;
    bool Load(const std::string& path, Services::Progress* progress = nullptr);
    // Lists in the settings store's "Sets" subkey under a value name. The
    // save tells whether the store took the value.
    bool SaveToRegistry(const std::string& name) const;
    void LoadFromRegistry(const std::string& name);
    // Column 1 of every line with a known atom becomes the atom's text.
    void RefreshAtomTexts();
    // The bytes of the list file (false when a text is too long for the
    // format, over 32,767 characters), and the reading of them (false when
    // malformed). Load and Save are these around the file itself.
    bool EncodeListFile(std::string& out, Services::Progress* progress = nullptr) const;
    bool DecodeListFile(std::string_view bytes);
    // The text of a registry list, and the reading of one into this list.
    std::string RegistryText() const;
    void ParseRegistryText(const std::string& text);
    // The list becomes those lines, their atoms looked up by name.
    void SetStoredLines(const std::vector<StoredLine>& lines);

    // Display switches and sizes, read by the display binding.
    ResultSetView view;

private:
    struct Line {
        std::string text;
        std::string reason;
        ::atom* a = nullptr;
    };

    bool CheckIndex(int32_t i) const;
    bool ContainsAtom(const ::atom* a) const;
    void SwapLines(int32_t i, int32_t j);
    bool LineGreater(const Line& x, const Line& y, int order) const;
    void Count(const ::atom* a, int delta);
    void KeepCursorInside();

    std::vector<Line> lines_;
    int32_t numNames_ = 0;
    int32_t numGenNames_ = 0;
    int32_t capacity_ = 50;
    std::string pureTitle_;
    std::string title_;
    ::atom* selfAtom_ = nullptr;
    bool showUnique_ = false;
    int id_ = 31999;
    ResultDisplay* control_ = nullptr;
    ResultLabel* countLabel_ = nullptr;
    ResultLabel* titleLabel_ = nullptr;
    bool hasToolTip_ = false;
    int sortOrder_ = 0;
    int32_t marked_ = -1;
    ::atom* lastAtom_ = nullptr;
    int32_t curPos_ = 0;
    std::shared_ptr<::searchInfo> searchInfo_;

};
