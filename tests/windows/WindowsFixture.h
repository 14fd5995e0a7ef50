// The child windows on the sample database in an MDI area of their own, wired
// as start-up wires them, with fakes for the windows they open that are not part of the test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <memory>
#include <string>
#include <vector>

#include "ChildForm.h"
#include "windows/lists/NameLists.h"
#include "Options.h"
#include "WinMan.h"
#include "ResultSet.h"
#include "WindowContracts.h"

class atom;
class ListView;
class ListViewDisplay;
class RichTextPane;
class SingleName;
class Similar;

// The window manager as the search engine sees it (start-up has its own).
class TestOpener : public WindowOpener {
public:
    ChildWindow* OpenForm(const std::string& name) override;
    ChildWindow* FormByName(const std::string& name) override;
};

// The list manager: hands out lists, records what it is given and keeps a
// history of lists.
class FakeNameLists : public ChildForm, public NameListsWindow {
public:
    FakeNameLists() : ChildForm("NameLists") {}
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    std::shared_ptr<ResultSet> CreateResultSet(const std::string& title) override;
    void NewRes(std::shared_ptr<ResultSet> rs) override;
    std::shared_ptr<ResultSet> current() override { return lists.empty() ? nullptr : lists.back(); }
    std::vector<std::shared_ptr<ResultSet>> HistoryLists() override { return lists; }
    bool Visible() const override { return FormBase::Visible(); }
    std::vector<std::shared_ptr<ResultSet>> lists;
};

// The name window: records what it is asked to show and every Notify.
class FakeSingleName : public ChildForm, public SingleNameWindow {
public:
    FakeSingleName() : ChildForm("SingleName") {}
    void ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool markCurrent) override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    atom* shownAtom = nullptr;
    std::shared_ptr<ResultSet> shownSet;
    int32_t shownMarked = -2;  // the set's marked line when it came
    int shows = 0;
    std::vector<int> notes;

protected:
    void BuildControls() override { Resize(3000, 4000); }
    void OnNotify(int code, const std::string&) override { notes.push_back(code); }
};

// A window that records the atoms it is asked to show.
class FakeShowerForm : public ChildForm, public OrigLangWindow {
public:
    explicit FakeShowerForm(const std::string& name) : ChildForm(name) {}
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    void ShowAtom(atom* a) override { shown.push_back(a); }
    std::vector<atom*> shown;
};

// A window with a table of names that sends clicked lines to the name window.
class TableForm : public ChildForm, public ChildWindow {
public:
    TableForm() : ChildForm("Alpha") {}
    ~TableForm() override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    ListView* view = nullptr;
    std::unique_ptr<ListViewDisplay> display;
    std::shared_ptr<ResultSet> table;

protected:
    void BuildControls() override;
    void Form_Load() override;
};

class WindowsTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    static atom* A(const std::string& internalName);
    // Opens the window through the window manager and lets it settle; null
    // when it is not a W.
    template <class W>
    static W* Open(const std::string& name) {
        WinMan::OpenForm(name);
        QApplication::processEvents();
        return dynamic_cast<W*>(Auto::GetForm(name));
    }
    // Opens the window, or brings it forward, without settling.
    template <class W>
    static W& Form(const std::string& name) {
        WinMan::OpenForm(name);
        return *dynamic_cast<W*>(Auto::GetForm(name));
    }
    SingleName* OpenNameWindow();
    Similar* SimilarWindow();
    // Types the text into the name box and presses Show.
    void Lookup(SingleName* w, const std::string& text, bool groups = false);
    // A left click at p in w.
    static void ClickAt(QWidget* w, QPoint p);
    // Types the cp1252 text into w key by key, accented letters too.
    static void TypeKeys(QWidget* w, const std::string& text);
    // Clicks the first character of the link with that number; false when
    // the pane shows no such link.
    static bool ClickLink(RichTextPane* pane, int number);
    // Processes the events that are due (deferred deletes included).
    static void Settle();
    // Every command is refused as while a database loads; TearDown lifts it.
    static void BlockLoading() { WinMan::databaseLoading = [] { return true; }; }
    static void UnblockLoading() { WinMan::databaseLoading = nullptr; }

    QMdiArea* area = nullptr;
    TestOpener opener;
};

// The real list manager with a recording name window.
class ListMgrTest : public WindowsTest {
protected:
    void SetUp() override;
    static std::vector<bool*> AutoOptions() {
        return {&Options::ListsAutoToNames,  &Options::ListsAutoToGenNames, &Options::ListsAutoFemaleOnly,
                &Options::ListsAutoMaleOnly, &Options::ListsAutoNamesOnly,  &Options::ListsAutoGenNamesOnly};
    }
    NameLists& Lists() { return *dynamic_cast<NameLists*>(Auto::GetForm("NameLists")); }
    FakeSingleName& Names() { return *dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName")); }
    // A producer's list of these atoms, handed over as every window does.
    static void Produce(const std::string& title, const std::vector<std::string>& atomNames);
    static std::vector<std::string> AtomNames(const ResultSet& rs);
};
