// The Manage Lists window in a real MDI area (offscreen) on the sample
// database, with a recording stand-in for the name window and the search
// engine's window opener over the window manager's name table.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <memory>
#include <string>
#include <vector>

#include "BinFile.h"
#include "ChildForm.h"
#include "DataBase.h"
#include "Fakes.h"
#include "lists/NameLists.h"
#include "Options.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "WindowContracts.h"

namespace listmgr_test {

// Records what the list manager hands the name window and every Notify.
class FakeSingleName : public ChildForm, public SingleNameWindow {
public:
    FakeSingleName() : ChildForm("SingleName") {}
    void ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool markCurrent) override {
        shownAtom = a;
        shownSet = std::move(set);
        shownMarkCurrent = markCurrent;
        shownMarked = shownSet ? shownSet->marked() : -2;
        ++shows;
    }
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    atom* shownAtom = nullptr;
    std::shared_ptr<ResultSet> shownSet;
    bool shownMarkCurrent = false;
    int32_t shownMarked = -2;
    int shows = 0;
    std::vector<int> notes;

protected:
    void BuildControls() override { Resize(3000, 4000); }
    void OnNotify(int code, const std::string&) override { notes.push_back(code); }
};

// The search engine reaches the windows through the name table.
class TableOpener : public WindowOpener {
public:
    ChildWindow* OpenForm(const std::string& name) override {
        WinMan::OpenForm(name);
        return dynamic_cast<ChildWindow*>(Auto::GetForm(name));
    }
    ChildWindow* FormByName(const std::string& name) override {
        FormBase* f = Auto::GetForm(name);
        if (f) f->Load();
        return dynamic_cast<ChildWindow*>(f);
    }
};

class ListMgrTest : public testing::Test {
protected:
    void SetUp() override {
        DataBase::InitDataBase();
        DataBase::DbStatus st = DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin"));
        ASSERT_TRUE(st.ok) << st.detail;
        TextConstants::textLanguage = 1;
        Options::RegBaseKey = Options::BaseKeyFor(TextConstants::edition);
        Options::ShowToolTips = false;
        Options::ListsNewSortOrder = 1;
        for (bool* o : AutoOptions()) *o = false;
        Searches::InitSearches();
        Searches::SetEnv(Searches::Env{&opener});
        WinMan::InitWinMan();
        WinMan::appClosing = false;
        Auto::Reset();
        frame = std::make_unique<QMainWindow>();
        area = new QMdiArea;
        frame->setCentralWidget(area);
        frame->resize(1100, 800);
        frame->show();
        FormBase::SetMdiArea(area);
        RegisterListWindows();
        Auto::Register("SingleName", [] { return std::make_unique<FakeSingleName>(); });
    }
    void TearDown() override {
        WinMan::appClosing = true;
        Auto::Reset();
        FormBase::SetMdiArea(nullptr);
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        WinMan::appClosing = false;
        WinMan::InitWinMan();
        Searches::SetEnv({});
        TextConstants::textLanguage = 0;
    }

    static std::vector<bool*> AutoOptions() {
        return {&Options::ListsAutoToNames,   &Options::ListsAutoToGenNames, &Options::ListsAutoFemaleOnly,
                &Options::ListsAutoMaleOnly,  &Options::ListsAutoNamesOnly,  &Options::ListsAutoGenNamesOnly};
    }

    NameLists& Lists() { return *dynamic_cast<NameLists*>(Auto::GetForm("NameLists")); }
    FakeSingleName& Names() { return *dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName")); }

    static atom* A(const std::string& name) {
        atom* a = DataBase::GetAtom(name);
        EXPECT_NE(a, DataBase::nothingAtom) << name;
        return a;
    }
    // A producer's list of these atoms, handed over as every window does.
    static void Produce(const std::string& title, const std::vector<std::string>& atomNames,
                        const std::string& reason = "hit") {
        ResultSet rs;
        rs.InitInt();
        for (const std::string& n : atomNames) {
            atom* a = A(n);
            rs.AddResult(a->Text(), reason, a);
        }
        Searches::NewRes(title, rs, Searches::kAlone);
    }
    static std::vector<std::string> AtomNames(const ResultSet& rs) {
        std::vector<std::string> out;
        for (int32_t i = 0; i < rs.numLines(); ++i) out.push_back(rs.atom(i) ? rs.atom(i)->name() : "-");
        return out;
    }

    TableOpener opener;
    std::unique_ptr<QMainWindow> frame;
    QMdiArea* area = nullptr;
};

}  // namespace listmgr_test
