// A small database built through the database API, and recording fakes of
// the windows the search engine reaches.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Atom.h"
#include "ExampleMode.h"
#include "ListTestSupport.h"
#include "Options.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WindowContracts.h"

struct Call {
    Call(std::string w, std::string op, atom* at, atom* ex = nullptr, std::shared_ptr<ResultSet> s = {},
         bool f = false, std::string t = {}, AtomShower* c = nullptr)
        : window(std::move(w)), what(std::move(op)), a(at), extra(ex), set(std::move(s)), flag(f),
          text(std::move(t)), caller(c) {}
    std::string window, what;  // window called, operation
    atom* a;
    atom* extra;  // Pop: the name
    std::shared_ptr<ResultSet> set;
    bool flag;  // markCurrent / several
    std::string text;
    AtomShower* caller;
};

struct CallLog {
    std::vector<Call> calls;
    std::vector<std::string> opened;  // OpenForm names in order
};

// A window of the given kind that writes its calls into the log.
template <class Base>
struct Logged : Base {
    explicit Logged(CallLog& l) : log(l) {}
    void Notify(int16_t, const std::string&) override {}
    CallLog& log;
};

template <class Base>
struct FakeShowerOf : Logged<Base> {
    FakeShowerOf(CallLog& l, std::string n) : Logged<Base>(l), name(std::move(n)) {}
    void ShowAtom(atom* a) override { this->log.calls.push_back({name, "ShowAtom", a}); }
    std::string name;
};

struct NoWindow : ChildWindow, AtomShower {};
using FakeShower = FakeShowerOf<NoWindow>;

struct FakeSingleName : Logged<SingleNameWindow> {
    using Logged::Logged;
    void ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool mark) override {
        log.calls.push_back({"SingleName", "ShowAtomInSet", a, nullptr, std::move(set), mark});
    }
};

struct FakePop : Logged<PopWindow> {
    using Logged::Logged;
    using PopWindow::ShowAtom;
    void ShowAtom(atom* a, atom* name) override { log.calls.push_back({"Pop", "ShowAtom", a, name}); }
};

struct FakeSimilar : Logged<SimilarWindow> {
    using Logged::Logged;
    void ShowSet(const std::string& text, AtomShower* caller, std::shared_ptr<ResultSet> set,
                 bool several) override {
        log.calls.push_back({"Similar", "ShowSet", nullptr, nullptr, std::move(set), several, text, caller});
    }
};

// The list manager: hands out internal lists, keeps what NewRes receives.
class FakeNameLists : public NameListsWindow {
public:
    void Notify(int16_t, const std::string&) override {}
    std::shared_ptr<ResultSet> CreateResultSet(const std::string& title) override {
        auto rs = std::make_shared<ResultSet>();
        rs->InitInt();
        rs->setPureTitle(title);
        return rs;
    }
    void NewRes(std::shared_ptr<ResultSet> rs) override {
        received.push_back(rs);
        currentList = rs;
        Services::HourglassOff();
    }
    std::shared_ptr<ResultSet> current() override { return currentList; }
    bool Visible() const override { return true; }

    std::vector<std::shared_ptr<ResultSet>> received;
    std::shared_ptr<ResultSet> currentList;
};

class FakeWindows : public WindowOpener {
public:
    ChildWindow* OpenForm(const std::string& name) override {
        log.opened.push_back(name);
        return FormByName(name);
    }
    ChildWindow* FormByName(const std::string& name) override {
        ChildWindow* all[] = {&singleName, &origLang, &origWord, &realm, &nameDays, &pop, &similar, &nameLists};
        const char* names[] = {"SingleName", "OrigLang", "OrigWord", "Realm", "NameDays", "Pop", "Similar", "NameLists"};
        for (int i = 0; i < 8; ++i)
            if (name == names[i]) return all[i];
        return nullptr;
    }

    CallLog log;
    FakeSingleName singleName{log};
    FakeShowerOf<OrigLangWindow> origLang{log, "OrigLang"};
    FakeShowerOf<OrigWordWindow> origWord{log, "OrigWord"};
    FakeShowerOf<RealmWindow> realm{log, "Realm"};
    FakeShowerOf<NameDaysWindow> nameDays{log, "NameDays"};
    FakePop pop{log};
    FakeSimilar similar{log};
    FakeNameLists nameLists;
};

// Fixture: a fresh database, the engine reset and the fakes installed.
class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        Examples::exampleMode = false;
        Options::UserNamesInfo = false;
        Searches::InitSearches();
        Searches::Env env;
        env.windows = &windows;
        Searches::SetEnv(env);
    }
    void TearDown() override {
        Searches::SetEnv({});
        Examples::exampleMode = false;
    }
    // A list of the given atoms, one line each with its reason.
    static std::shared_ptr<ResultSet> List(std::initializer_list<std::pair<atom*, std::string>> lines) {
        auto rs = std::make_shared<ResultSet>();
        rs->InitInt();
        for (const auto& [a, reason] : lines) rs->AddResult(a ? a->Text() : "(none)", reason, a);
        return rs;
    }
    static std::vector<atom*> Atoms(const ResultSet& rs) {
        std::vector<atom*> v;
        for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.atom(i));
        return v;
    }
    static std::vector<std::string> Reasons(const ResultSet& rs) {
        std::vector<std::string> v;
        for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.reason(i));
        return v;
    }

    TestDb db;
    FakeWindows windows;
};
