// What the search engine and the link dispatcher need of the child windows.
//
// The windows themselves live in windows/ and shell/ (Qt); the model code in
// lists/, search/ and describe/ only sees these abstract contracts. A real window class derives from
// its Qt form base and from the contract here; tests use recording fakes.
//
// Every window exists by its name for the whole run ("SingleName", "Pop", ...);
// the window manager hands out the object for a name through WindowOpener.
// Windows outlive every list and every call, so plain pointers to them are safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class atom;
class ResultSet;

// The contract every child window keeps: a public Notify that accepts every
// code and ignores those it does not handle. Codes: 0 follow the link whose
// number is the text, 2 the set of lists changed, 3 run the command named by
// the text, 4 the user's new names changed, 5 the tutorial's finish-display.
class ChildWindow {
public:
    virtual ~ChildWindow() = default;
    virtual void Notify(int16_t code, const std::string& text) = 0;
};

// A window that can show one atom. The name lookup hands what it found to the
// ShowAtom of the window that asked, and the choice among similar entries
// reports the user's pick the same way.
class AtomShower {
public:
    virtual ~AtomShower() = default;
    virtual void ShowAtom(atom* a) = 0;
};

// "SingleName": one name or group, with its history and browse list.
class SingleNameWindow : public ChildWindow, public AtomShower {
public:
    // Shows a name or group (an old form is replaced by its group), takes
    // `set` as the browse list when one is given and adds the atom to the
    // window's history.
    virtual void ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool markCurrent) = 0;
    void ShowAtom(atom* a) override { ShowAtomInSet(a, nullptr, false); }
};

// "OrigLang": a language (kind 8).
class OrigLangWindow : public ChildWindow, public AtomShower {};

// "OrigWord": a word (kind 7); it also uses the name lookup for words.
class OrigWordWindow : public ChildWindow, public AtomShower {};

// "Realm": a topic (kind 6).
class RealmWindow : public ChildWindow, public AtomShower {};

// "NameDays": saints and saint's days (kind 9).
class NameDaysWindow : public ChildWindow, public AtomShower {};

// "Pop": hit parades. Kind 10 shows that hit parade, kind 11 that series,
// kinds 0 and 1 the hit parades of that name; `name` is the name to show with
// a hit parade or series (may be null).
class PopWindow : public ChildWindow, public AtomShower {
public:
    // (A class that overrides this overload should add `using
    // PopWindow::ShowAtom;` to keep the one-argument form visible.)
    virtual void ShowAtom(atom* a, atom* name) = 0;
    void ShowAtom(atom* a) override { ShowAtom(a, nullptr); }
};

// "Similar": the choice among similar entries. It fills its table from `set`
// (the reason of each line tells the kind of match and the distance), and when
// the user picks a line it hides itself and calls caller->ShowAtom(picked).
// `several` means the hits are several entries of the same exact spelling.
class SimilarWindow : public ChildWindow {
public:
    virtual void ShowSet(const std::string& text, AtomShower* caller,
                         std::shared_ptr<ResultSet> set, bool several) = 0;
};

// "NameLists": the list manager.
class NameListsWindow : public ChildWindow {
public:
    // A new list bound to the manager's list view, with `title` as its pure
    // title, the default columns, reasons and colours shown.
    virtual std::shared_ptr<ResultSet> CreateResultSet(const std::string& title) = 0;
    // Takes a finished new list: automatic filters and conversions, number,
    // sort, history, display; notifies all windows with code 2. Ends with one
    // Services::HourglassOff.
    virtual void NewRes(std::shared_ptr<ResultSet> rs) = 0;
    // The current list of the manager's history; null when there is none.
    virtual std::shared_ptr<ResultSet> current() = 0;
    // Every list of the manager's history, oldest first (the name window
    // takes them as its browse lists when it loads).
    virtual std::vector<std::shared_ptr<ResultSet>> HistoryLists() {
        std::vector<std::shared_ptr<ResultSet>> lists;
        if (auto c = current()) lists.push_back(std::move(c));
        return lists;
    }
    // False once the manager has hidden itself instead of unloading.
    virtual bool Visible() const = 0;
};

// "Favorites": uses the name lookup for its name box.
class FavoritesWindow : public ChildWindow, public AtomShower {};

// The window manager as the model sees it: the window of a name.
class WindowOpener {
public:
    virtual ~WindowOpener() = default;
    // Loads the window when needed, shows it and brings it forward; null for
    // a name the manager does not know.
    virtual ChildWindow* OpenForm(const std::string& name) = 0;
    // The window object of a name, loaded when needed but not shown (as a
    // reference to a window's public member does); null for an unknown name.
    virtual ChildWindow* FormByName(const std::string& name) = 0;
};

// Window names the model opens.
namespace WindowNames {
inline constexpr const char* kSingleName = "SingleName";
inline constexpr const char* kOrigLang = "OrigLang";
inline constexpr const char* kOrigWord = "OrigWord";
inline constexpr const char* kRealm = "Realm";
inline constexpr const char* kNameDays = "NameDays";
inline constexpr const char* kPop = "Pop";
inline constexpr const char* kSimilar = "Similar";
inline constexpr const char* kNameLists = "NameLists";
inline constexpr const char* kFavorites = "Favorites";
}  // namespace WindowNames
