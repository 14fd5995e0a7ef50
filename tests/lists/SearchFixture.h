// A small database built through the database API, and recording fakes of
// the windows and outside services that the search engine reaches.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Atom.h"
#include "ResultSet.h"
#include "Searches.h"
#include "WindowContracts.h"

// --- recording fakes ---------------------------------------------------------

struct Call {
    Call(std::string w, std::string op, atom* at = nullptr)
        : window(std::move(w)), what(std::move(op)), a(at) {}
    std::string window;  // window that was called
    std::string what;    // operation
    atom* a = nullptr;
    atom* extra = nullptr;  // Pop: the name; Similar: unused
    std::shared_ptr<ResultSet> set;
    bool flag = false;      // markCurrent / several
    std::string text;
    AtomShower* caller = nullptr;
};

struct CallLog {
    std::vector<Call> calls;
    std::vector<std::string> opened;  // OpenForm names in order
};

class FakeShower : public AtomShower {
public:
    explicit FakeShower(CallLog& log, std::string name = "Caller") : log_(log), name_(std::move(name)) {}
    void ShowAtom(atom* a) override { log_.calls.push_back(Call(name_, "ShowAtom", a)); }

private:
    CallLog& log_;
    std::string name_;
};

#define FAKE_SHOWER_WINDOW(Cls, Base, Name)                                           \
    class Cls : public Base {                                                         \
    public:                                                                           \
        explicit Cls(CallLog& log) : log_(log) {}                                     \
        void Notify(int16_t, const std::string&) override {}                          \
        void ShowAtom(atom* a) override { log_.calls.push_back(Call(Name, "ShowAtom", a)); } \
                                                                                      \
    private:                                                                          \
        CallLog& log_;                                                                \
    };

FAKE_SHOWER_WINDOW(FakeOrigLang, OrigLangWindow, "OrigLang")
FAKE_SHOWER_WINDOW(FakeOrigWord, OrigWordWindow, "OrigWord")
FAKE_SHOWER_WINDOW(FakeRealm, RealmWindow, "Realm")
FAKE_SHOWER_WINDOW(FakeNameDays, NameDaysWindow, "NameDays")
FAKE_SHOWER_WINDOW(FakeFavorites, FavoritesWindow, "Favorites")
#undef FAKE_SHOWER_WINDOW

class FakeSingleName : public SingleNameWindow {
public:
    explicit FakeSingleName(CallLog& log) : log_(log) {}
    void Notify(int16_t, const std::string&) override {}
    void ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool markCurrent) override {
        Call c("SingleName", "ShowAtomInSet", a);
        c.set = std::move(set);
        c.flag = markCurrent;
        log_.calls.push_back(c);
    }

private:
    CallLog& log_;
};

class FakePop : public PopWindow {
public:
    using PopWindow::ShowAtom;
    explicit FakePop(CallLog& log) : log_(log) {}
    void Notify(int16_t, const std::string&) override {}
    void ShowAtom(atom* a, atom* name) override {
        Call c("Pop", "ShowAtom", a);
        c.extra = name;
        log_.calls.push_back(c);
    }

private:
    CallLog& log_;
};

class FakeSimilar : public SimilarWindow {
public:
    explicit FakeSimilar(CallLog& log) : log_(log) {}
    void Notify(int16_t, const std::string&) override {}
    void ShowSet(const std::string& text, AtomShower* caller, std::shared_ptr<ResultSet> set,
                 bool several) override {
        Call c("Similar", "ShowSet");
        c.text = text;
        c.caller = caller;
        c.set = std::move(set);
        c.flag = several;
        log_.calls.push_back(c);
    }

private:
    CallLog& log_;
};

// The list manager: hands out internal lists, keeps what NewRes receives.
class FakeNameLists : public NameListsWindow {
public:
    void Notify(int16_t, const std::string&) override {}
    std::shared_ptr<ResultSet> CreateResultSet(const std::string& title) override {
        auto rs = std::make_shared<ResultSet>();
        rs->InitInt();
        rs->setPureTitle(title);
        created.push_back(title);
        return rs;
    }
    void NewRes(std::shared_ptr<ResultSet> rs) override {
        received.push_back(rs);
        currentList = rs;
        Searches::HourglassOff();
    }
    std::shared_ptr<ResultSet> current() override { return currentList; }
    bool Visible() const override { return true; }

    std::vector<std::string> created;
    std::vector<std::shared_ptr<ResultSet>> received;
    std::shared_ptr<ResultSet> currentList;
};

class FakeWindows : public WindowOpener {
public:
    FakeWindows()
        : singleName(log), origLang(log), origWord(log), realm(log), nameDays(log), pop(log),
          similar(log), favorites(log) {}
    ChildWindow* OpenForm(const std::string& name) override {
        log.opened.push_back(name);
        return FormByName(name);
    }
    ChildWindow* FormByName(const std::string& name) override {
        if (name == "SingleName") return &singleName;
        if (name == "OrigLang") return &origLang;
        if (name == "OrigWord") return &origWord;
        if (name == "Realm") return &realm;
        if (name == "NameDays") return &nameDays;
        if (name == "Pop") return &pop;
        if (name == "Similar") return &similar;
        if (name == "NameLists") return &nameLists;
        if (name == "Favorites") return &favorites;
        return nullptr;
    }

    CallLog log;
    FakeSingleName singleName;
    FakeOrigLang origLang;
    FakeOrigWord origWord;
    FakeRealm realm;
    FakeNameDays nameDays;
    FakePop pop;
    FakeSimilar similar;
    FakeNameLists nameLists;
    FakeFavorites favorites;
};

// --- a small database ----------------------------------------------------------

// Builds atoms with properties through the database API; Finish derives texts,
// keys and kinds as the loader does for atoms from a text file.
class TestDb {
public:
    TestDb();
    // A kind or set atom ("prText", "seMaleNames", ...), created on first use.
    atom* K(const std::string& name);
    // An atom with a display text (prText) and further properties.
    atom* Add(const std::string& name, const std::string& text);
    void AtomProp(atom* a, const std::string& kind, atom* value);
    void StrProp(atom* a, const std::string& kind, const std::string& value);
    void AtomStrProp(atom* a, const std::string& kind, atom* value, const std::string& s);

    // Typical atoms.
    atom* Group(const std::string& name, const std::string& text, bool male);
    atom* Name(const std::string& name, const std::string& text, atom* group);
    atom* Member(const std::string& name, const std::string& text, const std::string& set);

    void Finish();
};

// Fixture: a fresh database, the engine reset and the fakes installed.
class SearchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A list of the given atoms, one line each with its reason.
    static std::shared_ptr<ResultSet> List(std::initializer_list<std::pair<atom*, std::string>> lines);
    static std::vector<atom*> Atoms(const ResultSet& rs);
    static std::vector<std::string> Reasons(const ResultSet& rs);

    TestDb db;
    FakeWindows windows;
};
