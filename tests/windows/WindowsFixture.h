// The child windows on the sample database, in an MDI area of their own, with
// the window manager, the name table and the search engine wired as start-up
// wires them, and fakes for the windows of other branches of the program.
#pragma once

#include <gtest/gtest.h>

#include <QMdiArea>
#include <memory>
#include <string>
#include <vector>

#include "ChildForm.h"
#include "ResultSet.h"
#include "WindowContracts.h"

class atom;
class ListView;
class ListViewDisplay;
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
    SingleName* OpenNameWindow();
    Similar* SimilarWindow();
    // Types the text into the name box and presses Show.
    void Lookup(SingleName* w, const std::string& text, bool groups = false);
    // Processes the events that are due (deferred deletes included).
    static void Settle();

    QMdiArea* area = nullptr;
    TestOpener opener;
};
