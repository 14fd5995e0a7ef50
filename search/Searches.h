// The shared procedures behind every search and every link: combining a new
// list with the current one by its operation mark, the hand-over of new lists
// to the list manager, the lookup of a typed name, the link dispatcher and the
// option buttons' index.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "WindowContracts.h"

class atom;
class FlexString;
class ResultSet;

namespace Searches {

// --- the outside world the engine reaches ----------------------------------

// Start-up installs the window manager (non-owning; while it is null the
// calls that open windows do nothing). The busy cursor, the shell and help go
// through the services (Services.h, LowLevel.h).
struct Env {
    WindowOpener* windows = nullptr;
};
void SetEnv(const Env& env);
const Env& GetEnv();

// --- start-up ---------------------------------------------------------------

// Tag counter to 1, a fresh shared spelling string, busy depth 0.
void InitSearches();

// --- combination ------------------------------------------------------------

// Search types of CombineLists / NewRes.
enum SearchType : int { kAlone = 0, kOr = 1, kAnd = 2, kWithout = 3 };

// 0 R receives B's lines (R not emptied), 1 Or, 2 And, 3 Without (the
// combinations of ListMaking.h); any other type asserts "searchType" and
// leaves R alone.
void CombineLists(ResultSet& A, ResultSet& B, ResultSet& R, int searchType);

// The one road of every new list to the list manager: combined with the
// manager's current list by searchType, then handed to NameLists.NewRes.
void NewRes(const std::string& title, ResultSet& rs, int searchType);
// The list manager's current list; null when it has none.
std::shared_ptr<ResultSet> GetListsCurrent();

// --- lookup of a typed name -------------------------------------------------

// Text trimmed and cut to 35 characters (the caller's variable receives it);
// exact text, then same sound, then similar spelling. One hit goes to
// window->ShowAtom, several open the "Similar" window, none gives
// GMnothingFound (and once GMuserNames). kindA/kindB: 0,1 / 1,0 names,
// 2,3 groups, 7,9999 words.
void LocateName(std::string& text, int kindA, int kindB, AtomShower* window);
// Fills rs with the hits of the three passes. Reasons are four characters:
// " 0  " exact, " 1  " same sound, " 2 d" similar spelling at distance d.
void SearchName(const std::string& text, int kindA, int kindB, int kindC, ResultSet& rs,
                bool& single, bool& several);
// True when candidate is within the spelling distance of `search` (1 for
// fewer than 5 letters, else 2). Keeps the distance for LastDistance(): the
// limit + 1 for any distance beyond the limit.
bool IsSimilarSpelling(FlexString& search, const std::string& candidate);
int LastDistance();

// The typed text's key with one leading article ("THE ", "DIE ", "DER ",
// "DAS " or "TO ") removed; `stripped` tells whether one was.
std::string StripArticle(const std::string& upperKey, bool* stripped = nullptr);

// --- links ------------------------------------------------------------------

// Opens the window for link number idText: from 40000 the help topic of a
// description heading; otherwise the atom of that id in the window of its
// kind. `set` is the browse list for the name window, `nameAtom` the name
// that goes with a hit parade.
void FollowLink(const std::string& idText, std::shared_ptr<ResultSet> set, atom* nameAtom);

// --- helpers ----------------------------------------------------------------

// A three-way choice of option buttons.
class OptionButton {
public:
    virtual ~OptionButton() = default;
    virtual bool Value() const = 0;
    // Setting True also switches the group's other buttons off (the control
    // does that, as a click would).
    virtual void SetValue(bool on) = 0;
};
// 2 when opt2 is set, else 1 when opt1 is set, else 0.
int RadioIndex(bool opt0, bool opt1, bool opt2);
int RadioIndex(const OptionButton& b0, const OptionButton& b1, const OptionButton& b2);
// Index 0 sets btn0, 1 btn1, anything else btn2.
void SetRadio(int index, OptionButton& btn0, OptionButton& btn1, OptionButton& btn2);

}  // namespace Searches
